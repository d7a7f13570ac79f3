// The page pane's registrations and launching: what a drop, the add and
// remove commands, a double click or Enter, and the context menu do with
// the entries of the page shown.
#include "pageview/PaneWindow_win.h"

#include <algorithm>

#include <commdlg.h>
#include <shellapi.h>

#include "common/CommonDialogs_win.h"
#include "common/ExecutableFolder_win.h"
#include "common/MessageBox_win.h"
#include "common/Shell_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "pageview/DroppedFiles.h"
#include "pageview/FileDetails_win.h"
#include "pageview/FilesText.h"
#include "pageview/FindText.h"
#include "pageview/Lookups_win.h"
#include "pageview/PagePane_win.h"
#include "pageview/PaneRules.h"
#include "pageview/RunArguments_win.h"
#include "resources/resource.h"
#include "settings/AppState_win.h"
#include "settings/SettingsFile.h"

namespace vc {
namespace pagepane {

namespace {

constexpr int kIndexTextBuffer = 16;

// What the shell is given to open an entry: the quoted path, which keeps
// blanks in it working, and the entry's own folder to start in.
struct OpenText {
    std::u16string file, folder;
};
OpenText OpenTextOf(const std::u16string& path) {
    std::optional<FullPath> full = FullPathOf(path);
    return {u"\"" + path + u"\"", full ? WorkingFolderOf(full->Text, full->NameStart) : std::u16string()};
}

bool IsEntryCommand(int id) {
    return id == IDM_ENTRY_REMOVE || id == IDM_ENTRY_SHOW_LOCATION || id == IDM_ENTRY_RUN_AS_ADMIN ||
           id == IDM_ENTRY_RUN_WITH_ARGUMENTS;
}

}  // namespace

int PagePane::SelectedItem() const {
    return int(SendMessageW(list_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

const FileEntry* PagePane::EntryOfItem(int item) const {
    int e = item < 0 ? -1 : EntryIndexOfItem(item);
    if (e < 0 || e >= entries_.EntryCount || size_t(e) >= entries_.EntryTable.size()) return nullptr;
    const FileEntry& entry = entries_.EntryTable[size_t(e)];
    return entry.Path.empty() ? nullptr : &entry;
}

std::optional<ChosenEntry> PagePane::ChosenOrSelected() const {
    const int item = SelectedItem();
    const FileEntry* e = EntryOfItem(item);
    if (!e) return std::nullopt;
    return ChosenEntry{int32_t(e - entries_.EntryTable.data()), e->Path};
}

bool PagePane::StillThere(const ChosenEntry& chosen) const {
    return chosen.slot >= 0 && chosen.slot < entries_.EntryCount &&
           size_t(chosen.slot) < entries_.EntryTable.size() &&
           !chosen.path.empty() && entries_.EntryTable[size_t(chosen.slot)].Path == chosen.path;
}

// Each item's data is its slot's entry, wherever sorting has put the item.
int PagePane::ItemOfSlot(int32_t slot) const {
    if (slot < 0 || size_t(slot) >= entries_.EntryTable.size()) return -1;
    LVFINDINFOW find{};
    find.flags = LVFI_PARAM;
    find.lParam = reinterpret_cast<LPARAM>(&entries_.EntryTable[size_t(slot)]);
    return int(SendMessageW(list_, LVM_FINDITEMW, WPARAM(-1), reinterpret_cast<LPARAM>(&find)));
}

std::u16string PagePane::ItemName(int item) const {
    wchar_t text[kPathBuffer] = {};
    LVITEMW it{};
    it.iSubItem = 0;
    it.pszText = text;
    it.cchTextMax = kPathBuffer;
    SendMessageW(list_, LVM_GETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&it));
    return U16(text);
}

std::u16string PagePane::PageFilesText() const {
    return CapFilesText(RebuildFiles(entries_.EntryTable, entries_.EntryCount) + unloadedTail_, kFilesCapacity);
}

// The page record holds every registration the moment it is made: the tab's
// tooltip, the find box and a dialog working on copies of the pages see it,
// and no pane rebuilt under it can lose it.
void PagePane::SyncFilesToPage() {
    if (userPage_ && parsed_ && page_) page_->Files = PageFilesText();
}

int PagePane::EntryIndexOfItem(int item) const {
    wchar_t text[kIndexTextBuffer] = {};
    LVITEMW sub{};
    sub.iSubItem = kIndexColumn;
    sub.pszText = text;
    sub.cchTextMax = kIndexTextBuffer;
    SendMessageW(list_, LVM_GETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&sub));
    return ParseEntryIndex(AsU16(text));
}

// Starts an entry with a verb (nullptr: the default one) and arguments, on a
// worker as a launch is. A start that fails, or an elevation the user
// refuses, shows nothing.
void PagePane::Start(const ChosenEntry& chosen, const wchar_t* verb, const std::u16string& arguments) {
    OpenText open = OpenTextOf(chosen.path);
    // The elevation prompt comes up in front of the window it is asked for.
    HWND owner = GetAncestor(hwnd_, GA_ROOT);
    Lookups().SubmitUrgent(ShareOf(chosen.path), [open, verb, arguments, owner]() -> LookupQueue::Apply {
        SHELLEXECUTEINFOW run{};
        run.cbSize = sizeof run;
        // The worker may end before an asynchronous start would be done.
        run.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
        run.hwnd = owner;
        run.lpVerb = verb;
        run.lpFile = AsW(open.file);
        run.lpParameters = arguments.empty() ? nullptr : AsW(arguments);
        run.lpDirectory = open.folder.empty() ? nullptr : AsW(open.folder);
        run.nShow = SW_SHOWNORMAL;
        shell::ShellExecuteExW(&run);
        return nullptr;
    });    host_.EntryStarted();
}

// Opens an entry with the shell, in its own folder.
void PagePane::Launch(int item) {
    const FileEntry* e = EntryOfItem(item);
    if (!e) return;
    LaunchPath(e->Path);
    host_.EntryStarted();
}

bool PagePane::Register(const std::u16string& path) {
    PaneState& table = entries_;
    if (!page_ || table.EntryCount >= table.EntryCapacity || size_t(table.EntryCount) >= table.EntryTable.size())
        return false;
    // A path without a file-name part (a drive root) names nothing to list.
    std::optional<FullPath> full = FullPathOf(path);
    if (!full || full->NameStart >= full->Text.size()) return false;
    const int32_t slot = table.EntryCount;
    firstRegistered_ = std::min(firstRegistered_, slot);
    FileEntry& e = table.EntryTable[size_t(slot)];
    e = FileEntry{};
    e.Path = std::u16string(CutTo(path, kEntryPathMax));
    SetOffsets(e, false);
    if (size_t(slot) < folderStates_.size()) folderStates_[size_t(slot)] = FolderState::Pending;
    if (size_t(slot) < shellIcons_.size()) shellIcons_[size_t(slot)] = {-2, -2};
    table.EntryCount = slot + 1;
    SyncFilesToPage();
    // While the page is still being listed, its loading lists this slot too.
    if (listed_ == slot) {
        listed_ = slot + 1;
        std::optional<std::u16string> name = SlotName(slot);
        if (folders_[0].empty()) folders_ = CurrentKnownFolderPaths();
        // A filter that does not find the name leaves it unlisted until the
        // filter changes.
        if (name && FindsName(*name, FoldForFind(filter_))) ListSlotAgain(slot, *name);
    }
    AskDetails(slot, e.Path);
    WriteFileCount();
    return true;
}

// Registers every dropped item, in the order dropped, while the page has
// room; the items refused are told about once, for the whole drop. A dropped
// settings file opens in a new instance instead.
void PagePane::OnDropFiles(HDROP drop) {
    // A settings file opens in a new instance, on any page and whatever page
    // is shown by then; a folder is registered whatever its name says, and
    // whether it is one only the disk tells, on a worker.
    auto openSettingsFile = [pane = hwnd_, load = load_](const std::u16string& dropped) {
        Lookups().SubmitUrgent(ShareOf(dropped), [dropped, pane, load]() -> LookupQueue::Apply {
            if (IsFolderNow(dropped)) {
                return [dropped, pane, load] {
                    PagePane* p = PagePane::Of(pane);
                    if (p && p->load_ == load && p->page_ &&
                        TakesRegistration(p->userPage_, p->TableFinal(), p->page_->Flag, p->entries_.EntryCount,
                                          p->entries_.EntryCapacity))
                        p->Register(dropped);
                };
            }
            wchar_t exe[MAX_PATH] = {};
            GetModuleFileNameW(nullptr, exe, MAX_PATH);
            const std::u16string folder = ExecutableFolder();
            shell::ShellExecuteW(nullptr, nullptr, exe, AsW(dropped), AsW(folder), SW_SHOWNORMAL);
            return nullptr;
        });
    };
    std::vector<std::u16string> files;
    const UINT n = shell::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < n; ++i) {
        wchar_t name[kEntryPathMax] = {};
        if (!shell::DragQueryFileW(drop, i, name, UINT(std::size(name)))) continue;
        std::u16string dropped = U16(name);
        if (IsSettingsFileName(dropped)) openSettingsFile(dropped);
        else files.push_back(std::move(dropped));
    }
    shell::DragFinish(drop);
    // Refused without a word: special pages, and pages whose text is not
    // read yet (their slots are not final).
    if (files.empty() || !page_ || !userPage_ || !TableFinal()) return;
    std::vector<std::u16string> onPage;
    for (int32_t i = 0; i < entries_.EntryCount && size_t(i) < entries_.EntryTable.size(); ++i)
        if (!entries_.EntryTable[size_t(i)].Path.empty()) onPage.push_back(entries_.EntryTable[size_t(i)].Path);
    DropRoom room;
    room.locked = page_->Flag & PageFlag::NoChanges;
    room.slots = std::min(entries_.EntryCapacity, int32_t(kMaxUserEntries)) - entries_.EntryCount;
    room.units = kFilesCapacity - 1 - std::min(PageFilesText().size(), kFilesCapacity - 1);
    const std::vector<DropFate> fates = PlanDrop(files, onPage, room);
    bool registered = false;
    for (size_t i = 0; i < files.size(); ++i)
        if (fates[i] == DropFate::Register) registered = Register(files[i]) || registered;
    // The whole drop reaches the file in one write.
    if (registered) WritePage(app_.rec, app_.store, pageId_, WriteGroup::Entries);
    const std::u16string refused = DropRefusalText(fates);
    if (!refused.empty()) RunModal([&] { ShowMessageBox(hwnd_, kMessageBoxOkCancel, refused); });
}

void PagePane::AddRegistration() {
    PaneState& table = entries_;
    if (!page_ || !TableFinal() || table.EntryCount >= table.EntryCapacity) return;
    std::u16string title = AddDialogTitle(app_.rec.WindowName, page_->Label);
    wchar_t file[kPathBuffer] = {}, fileTitle[kPathBuffer] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwnd_;
    ofn.lpstrFilter = L"ファイル\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = DWORD(std::size(file));
    ofn.lpstrFileTitle = fileTitle;
    ofn.nMaxFileTitle = DWORD(std::size(fileTitle));
    ofn.lpstrTitle = AsW(title);
    ofn.lpstrDefExt = L"*.*";
    // The current folder is the program's: a relative settings path depends
    // on it.
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    bool chosen = false;
    if (!RunModal([&] { chosen = dialogs::GetOpenFileNameW(&ofn); }) || !chosen) return;
    // The dialog has shown the file exists; its details come from a worker,
    // as they may lie on a share that answers slowly.
    if (TableFinal()) Register(U16(file));
}

// The status bar's details part tells about the selected entry, and about
// none once nothing is selected: details of an entry that is gone would be
// a lie.
void PagePane::ShowSelectedDetails() {
    int item = SelectedItem();
    ShowEntryDetails(item < 0 ? -1 : EntryIndexOfItem(item));
}

void PagePane::ShowEntryDetails(int index) {
    const bool known = index >= 0 && index < entries_.EntryCount && size_t(index) < entries_.EntryTable.size();
    host_.ShowEntryDetails(known ? &entries_.EntryTable[size_t(index)] : nullptr);
}

void PagePane::RemoveRegistration(const ChosenEntry& chosen) {
    if (!page_) return;
    const std::u16string question =
        RemoveQuestion(page_->Label, SlotName(chosen.slot).value_or(std::u16string()));
    int answer = 0;
    if (!RunModal([&] { answer = ShowMessageBox(hwnd_, kMessageBoxYesNoSecond, question); })) return;
    // The list may have been sorted or the entry removed while the box was
    // open: the entry is found again by its slot and path, its item by its
    // data.
    if (answer != kMessageBoxYes || !StillThere(chosen)) return;
    if (const int item = ItemOfSlot(chosen.slot); item >= 0) SendMessageW(list_, LVM_DELETEITEM, WPARAM(item), 0);
    // The slot stays, emptied: entry numbers and icons keep their places.
    entries_.EntryTable[size_t(chosen.slot)].Path.clear();
    SyncFilesToPage();
    WriteFileCount();
    ShowSelectedDetails();
}

// The context menu at the point of a right click, or for the keyboard
// ((-1, -1)) at the selected item or the list's corner. Its entry commands
// act on the entry selected when it opened, whatever loading or sorting
// does to the list while it is open.
void PagePane::OnContextMenu(LPARAM lp) {
    POINT at{short(LOWORD(lp)), short(HIWORD(lp))};
    int item = SelectedItem();
    if (at.x == -1 && at.y == -1) {
        RECT rc{};
        rc.left = LVIR_ICON;
        if (item < 0 || !SendMessageW(list_, LVM_GETITEMRECT, WPARAM(item), reinterpret_cast<LPARAM>(&rc)))
            rc = RECT{0, 0, 0, 0};
        at = {rc.left, rc.bottom};
        ClientToScreen(list_, &at);
    }
    const std::optional<ChosenEntry> chosen = ChosenOrSelected();
    const std::u16string name = chosen ? ItemName(item) : std::u16string();
    // A folder cannot be elevated nor given arguments, a document cannot be
    // elevated. Where the kind is not known yet, the window does not stop
    // to ask the disk.
    MenuEntryKind kind = MenuEntryKind::Other;
    if (chosen && SlotFolderState(chosen->slot) == FolderState::Folder) kind = MenuEntryKind::Folder;
    else if (chosen && IsProgramPath(chosen->path)) kind = MenuEntryKind::Program;
    const ContextMenuRequest request{at, chosen ? &name : nullptr, kind};
    int command = 0;
    if (!RunModal([&] { command = host_.TrackContextMenu(request); }) || command == 0) return;
    if (IsEntryCommand(command)) RunEntryCommand(command, chosen);
    // The rest are the tab window's, as from any of its menus.
    else PostMessageW(GetParent(hwnd_), WM_COMMAND, WPARAM(command), 0);
}

void PagePane::RunEntryCommand(int id, const std::optional<ChosenEntry>& chosen) {
    if (!chosen || !StillThere(*chosen)) return;
    switch (id) {
    case IDM_ENTRY_REMOVE: RemoveRegistration(*chosen); break;
    case IDM_ENTRY_SHOW_LOCATION: ShowLocation(*chosen); break;
    case IDM_ENTRY_RUN_AS_ADMIN: Start(*chosen, L"runas", u""); break;
    case IDM_ENTRY_RUN_WITH_ARGUMENTS: RunWithArguments(*chosen); break;
    default: break;
    }
}

void PagePane::RunWithArguments(const ChosenEntry& chosen) {
    std::optional<std::u16string> arguments;
    if (!RunModal([&] { arguments = AskRunArguments(hwnd_, chosen.path); })) return;
    if (arguments && StillThere(chosen)) Start(chosen, nullptr, *arguments);
}

void PagePane::ShowLocation(const ChosenEntry& chosen) {
    std::optional<FullPath> full = FullPathOf(chosen.path);
    if (!full) return;
    std::u16string folder = ContainingFolderOf(full->Text, full->NameStart);
    if (folder.empty()) return;
    Lookups().SubmitUrgent(ShareOf(folder), [folder]() -> LookupQueue::Apply {
        shell::ShellExecuteW(nullptr, nullptr, AsW(folder), nullptr, nullptr, SW_SHOWNORMAL);
        return nullptr;
    });
}

// Every listed name in the form the page asks for now, with or without its
// extension.
void PagePane::RenameItems() {
    if (!page_) return;
    const int count = int(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    if (count == 0) return;
    const bool held = repaintsHeld_;  // a list still filling keeps its pace
    HoldRepaints();
    for (int item = 0; item < count; ++item) {
        const FileEntry* e = EntryOfItem(item);
        std::optional<FullPath> full = e ? FullPathOf(e->Path) : std::nullopt;
        if (!full || full->NameStart >= full->Text.size()) continue;
        std::u16string name = DisplayName(full->Name(), *page_, e->TypeOffset < 0);
        LVITEMW it{};
        it.iSubItem = 0;
        it.pszText = const_cast<wchar_t*>(AsW(name));
        SendMessageW(list_, LVM_SETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&it));
    }
    if (!held) ReleaseRepaints(false);
}

}  // namespace pagepane

void LaunchPath(const std::u16string& path) {
    auto [file, folder] = pagepane::OpenTextOf(path);
    // The shell waits on the file it opens: a share that has gone away would
    // hold the window.
    Lookups().SubmitUrgent(ShareOf(path), [file, folder]() -> LookupQueue::Apply {
        shell::ShellExecuteW(nullptr, nullptr, AsW(file), nullptr, folder.empty() ? nullptr : AsW(folder),
                             SW_SHOWNORMAL);
        return nullptr;
    });
}

}  // namespace vc
