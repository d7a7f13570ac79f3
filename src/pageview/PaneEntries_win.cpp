// The page pane's registrations and launching: what a drop, the add and
// remove commands, a double click or Enter, and the context menu do with
// the entries of the page shown.
#include "pageview/PaneWindow_win.h"

#include <commdlg.h>
#include <shellapi.h>

#include "common/ExecutableFolder_win.h"
#include "settings/AppState_win.h"
#include "common/CommonDialogs_win.h"
#include "common/MessageBox_win.h"
#include "common/Shell_win.h"
#include "common/U16.h"
#include "common/Wide_win.h"
#include "pageview/FileDetails_win.h"
#include "pageview/FilesText.h"
#include "pageview/Lookups_win.h"
#include "pageview/PagePane_win.h"
#include "pageview/PaneRules.h"
#include "pageview/PaneState.h"
#include "pageview/RunArguments_win.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"

namespace vc {
namespace pagepane {

namespace {

constexpr int kIndexTextBuffer = 16;

int SelectedItem() { return int(SendMessageW(g_pane.list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED)); }

// The entry an item shows, or nullptr.
const FileEntry* EntryOfItem(int item) {
    const PaneState& table = ThePane();
    int e = item < 0 ? -1 : EntryIndexOfItem(item);
    if (e < 0 || e >= table.EntryCount || size_t(e) >= table.EntryTable.size()) return nullptr;
    const FileEntry& entry = table.EntryTable[size_t(e)];
    return entry.Path.empty() ? nullptr : &entry;
}

// Lists slot `slot` (filled already) as the newest entry: its item goes last,
// its icons at the end of the image lists. False when the path has no
// file-name part (a drive root): then the slot is not counted.
// `known`: what a worker looked up for it.
bool ListNewEntry(int slot, const EntryDetails& known) {
    PaneState& table = ThePane();
    const FileEntry& e = table.EntryTable[size_t(slot)];
    std::optional<FullPath> full = FullPathOf(e.Path);
    if (!full || full->NameStart >= full->Text.size()) return false;
    std::u16string name = DisplayName(full->Name(), *g_pane.page, e.TypeOffset < 0);
    if (g_pane.folders[0].empty()) g_pane.folders = CurrentKnownFolderPaths();
    const FolderState folder = known.folderNow ? FolderState::Folder : FolderState::File;
    if (size_t(slot) < g_pane.folderStates.size()) g_pane.folderStates[size_t(slot)] = folder;
    if (size_t(slot) < g_pane.shellIcons.size()) g_pane.shellIcons[size_t(slot)] = {known.smallIcon, known.largeIcon};
    const int image = g_pane.icons.AddKnown(e, known.smallIcon, known.largeIcon);
    CreateItem(g_pane.list, slot, e, image, name, g_pane.folders, folder);
    table.EntryCount = slot + 1;
    WriteFileCount();
    return true;
}

}  // namespace

std::u16string ItemName(int item) {
    wchar_t text[kPathBuffer] = {};
    LVITEMW it{};
    it.iSubItem = 0;
    it.pszText = text;
    it.cchTextMax = kPathBuffer;
    SendMessageW(g_pane.list, LVM_GETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&it));
    return U16(text);
}

std::u16string PageFilesText() {
    const PaneState& table = ThePane();
    return CapFilesText(RebuildFiles(table.EntryTable, table.EntryCount) + g_pane.unloadedTail, kFilesCapacity);
}

int EntryIndexOfItem(int item) {
    wchar_t text[kIndexTextBuffer] = {};
    LVITEMW sub{};
    sub.iSubItem = kIndexColumn;
    sub.pszText = text;
    sub.cchTextMax = kIndexTextBuffer;
    SendMessageW(g_pane.list, LVM_GETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&sub));
    return ParseEntryIndex(AsU16(text));
}

namespace {

// What the shell is given to open an entry: the quoted path, which keeps
// blanks in it working, and the entry's own folder to start in.
struct OpenText {
    std::u16string file, folder;
};
OpenText OpenTextOf(const std::u16string& path) {
    std::optional<FullPath> full = FullPathOf(path);
    return {u"\"" + path + u"\"", full ? WorkingFolderOf(full->Text, full->NameStart) : std::u16string()};
}

// Starts the selected entry with a verb (nullptr: the default one) and
// arguments, on a worker as Launch does. A start that fails, or an elevation
// the user refuses, shows nothing.
void StartSelected(const wchar_t* verb, const std::u16string& arguments) {
    const FileEntry* e = EntryOfItem(SelectedItem());
    if (!e) return;
    OpenText open = OpenTextOf(e->Path);
    // The elevation prompt comes up in front of the window it is asked for.
    HWND owner = GetAncestor(g_pane.hwnd, GA_ROOT);
    Lookups().Submit(0, ShareOf(e->Path), [open, verb, arguments, owner]() -> LookupQueue::Apply {
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
    });
}

}  // namespace

// Opens an entry with the shell, in its own folder.
// The shell waits on the file when it opens it, so on a share that has gone
// away the window would wait too: a worker opens it.
void Launch(int item) {
    if (const FileEntry* e = EntryOfItem(item)) LaunchPath(e->Path);
}

// Registers the first dropped item; a dropped settings file opens in a new
// instance instead.
void OnDropFiles(HDROP drop) {
    wchar_t name[kEntryPathMax] = {};
    UINT n = shell::DragQueryFileW(drop, 0, name, UINT(std::size(name)));
    shell::DragFinish(drop);
    if (n == 0) return;
    const std::u16string dropped = U16(name);
    // Refused without a word: special pages, locked pages, full pages, and
    // pages still loading (their slots are not final yet).
    const auto takesIt = [] {
        const PaneState& table = ThePane();
        return g_pane.page &&
               TakesRegistration(g_pane.userPage, g_pane.loaded, g_pane.page->Flag, table.EntryCount, table.EntryCapacity);
    };
    // A settings file opens in a new instance on any page, and goes on doing
    // so when the page changes meanwhile; other drops belong to this load.
    const bool settingsName = IsSettingsFileName(dropped);
    if (!settingsName && !takesIt()) return;
    const uint32_t load = g_pane.load;
    // The item is looked at on a worker: it may lie on a share that answers
    // slowly, and the window must not wait for it.
    Lookups().Submit(settingsName ? 0 : load, ShareOf(dropped), [dropped, settingsName, load, takesIt]() -> LookupQueue::Apply {
        EntryDetails d = LookUpEntryDetails(dropped);
        // A folder is registered whatever its name says.
        if (settingsName && !d.folderNow) {
            wchar_t exe[MAX_PATH] = {};
            GetModuleFileNameW(nullptr, exe, MAX_PATH);
            const std::u16string folder = ExecutableFolder();
            shell::ShellExecuteW(nullptr, nullptr, exe, AsW(dropped), AsW(folder), SW_SHOWNORMAL);
            return nullptr;
        }
        return [d = std::move(d), load, takesIt] {
            if (g_pane.load != load || !takesIt()) return;
            PaneState& table = ThePane();
            table.EntryTable[size_t(table.EntryCount)] = d.entry;
            if (!ListNewEntry(table.EntryCount, d)) WriteFileCount();
        };
    });
}

void AddRegistration(App& app) {
    PaneState& table = ThePane();
    if (!g_pane.page || !g_pane.loaded || table.EntryCount >= table.EntryCapacity) return;
    std::u16string title = AddDialogTitle(app.rec.WindowName, g_pane.page->Label);
    wchar_t file[kPathBuffer] = {}, fileTitle[kPathBuffer] = {};
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = g_pane.hwnd;
    ofn.lpstrFilter = L"ファイル\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = DWORD(std::size(file));
    ofn.lpstrFileTitle = fileTitle;
    ofn.nMaxFileTitle = DWORD(std::size(fileTitle));
    ofn.lpstrTitle = AsW(title);
    ofn.lpstrDefExt = L"*.*";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!dialogs::GetOpenFileNameW(&ofn)) return;
    // The chosen file is looked up on a worker: the dialog may have been
    // shown a share that answers slowly.
    const std::u16string path = U16(file);
    Lookups().Submit(g_pane.load, ShareOf(path), [path]() -> LookupQueue::Apply {
        EntryDetails d;
        if (!FillFromSearch(path, true, d.entry)) return nullptr;
        d.folderNow = IsFolderNow(path);
        LookUpIcons(d);
        return [d = std::move(d)] {
            PaneState& t = ThePane();
            if (!g_pane.page || !g_pane.loaded || t.EntryCount >= t.EntryCapacity) return;
            t.EntryTable[size_t(t.EntryCount)] = d.entry;
            if (!ListNewEntry(t.EntryCount, d)) WriteFileCount();
        };
    });
}

// The status bar's details part tells about the selected entry, and about
// none once nothing is selected: details of an entry that is gone would be
// a lie.
void ShowSelectedDetails() {
    int item = SelectedItem();
    ShowEntryDetails(item < 0 ? -1 : EntryIndexOfItem(item));
}

// The tab window owns the status bar; the pane tells it which entry to show
// (a negative index blanks the details).
void ShowEntryDetails(int index) {
    if (g_pane.hwnd) SendMessageW(GetParent(g_pane.hwnd), WM_COMMAND, IDM_SHOW_ENTRY_DETAILS, index);
}

void RemoveRegistration() {
    int item = SelectedItem();
    if (item < 0 || !g_pane.page) return;
    std::u16string question = RemoveQuestion(g_pane.page->Label, ItemName(item));
    if (ShowMessageBox(g_pane.hwnd, kMessageBoxYesNoSecond, question) != kMessageBoxYes) return;
    int e = EntryIndexOfItem(item);
    SendMessageW(g_pane.list, LVM_DELETEITEM, WPARAM(item), 0);
    PaneState& table = ThePane();
    // The slot stays, emptied: entry numbers and icons keep their places.
    if (e >= 0 && e < table.EntryCount) table.EntryTable[size_t(e)].Path.clear();
    WriteFileCount();
    ShowSelectedDetails();
}

// The context menu at the point of a right click, or for the keyboard
// ((-1, -1)) at the selected item or the list's corner.
void OnContextMenu(LPARAM lp) {
    POINT at{short(LOWORD(lp)), short(HIWORD(lp))};
    int item = SelectedItem();
    if (at.x == -1 && at.y == -1) {
        RECT rc{};
        rc.left = LVIR_ICON;
        if (item < 0 || !SendMessageW(g_pane.list, LVM_GETITEMRECT, WPARAM(item), reinterpret_cast<LPARAM>(&rc)))
            rc = RECT{0, 0, 0, 0};
        at = {rc.left, rc.bottom};
        ClientToScreen(g_pane.list, &at);
    }
    std::u16string name;
    bool hasEntry = false;
    int entry = item < 0 ? -1 : EntryIndexOfItem(item);
    if (entry >= 0 && entry < ThePane().EntryCount) {
        name = ItemName(item);
        hasEntry = true;
    }
    // A folder cannot be elevated nor given arguments. Where the kind is
    // not known yet, the window does not stop to ask the disk.
    const bool folder = hasEntry && SlotFolderState(entry) == FolderState::Folder;
    ContextMenuRequest request{at, hasEntry ? &name : nullptr, folder};
    SendMessageW(GetParent(g_pane.hwnd), WM_COMMAND, IDM_SHOW_CONTEXT_MENU, reinterpret_cast<LPARAM>(&request));
}

void RunAsAdministrator() { StartSelected(L"runas", u""); }

void RunWithArguments() {
    const FileEntry* e = EntryOfItem(SelectedItem());
    if (!e) return;
    if (std::optional<std::u16string> arguments = AskRunArguments(g_pane.hwnd, e->Path))
        StartSelected(nullptr, *arguments);
}

void ShowLocation() {
    const FileEntry* e = EntryOfItem(SelectedItem());
    if (!e) return;
    std::optional<FullPath> full = FullPathOf(e->Path);
    if (!full) return;
    std::u16string folder = ContainingFolderOf(full->Text, full->NameStart);
    if (folder.empty()) return;
    Lookups().Submit(0, ShareOf(folder), [folder]() -> LookupQueue::Apply {
        shell::ShellExecuteW(nullptr, nullptr, AsW(folder), nullptr, nullptr, SW_SHOWNORMAL);
        return nullptr;
    });
}

// Every listed name in the form the page asks for now, with or without its
// extension.
void RenameItems() {
    if (!g_pane.page) return;
    const int count = int(SendMessageW(g_pane.list, LVM_GETITEMCOUNT, 0, 0));
    if (count == 0) return;
    const bool held = g_pane.repaintsHeld;  // a list still filling keeps its pace
    HoldRepaints();
    for (int item = 0; item < count; ++item) {
        const FileEntry* e = EntryOfItem(item);
        std::optional<FullPath> full = e ? FullPathOf(e->Path) : std::nullopt;
        if (!full || full->NameStart >= full->Text.size()) continue;
        std::u16string name = DisplayName(full->Name(), *g_pane.page, e->TypeOffset < 0);
        LVITEMW it{};
        it.iSubItem = 0;
        it.pszText = const_cast<wchar_t*>(AsW(name));
        SendMessageW(g_pane.list, LVM_SETITEMTEXTW, WPARAM(item), reinterpret_cast<LPARAM>(&it));
    }
    if (!held) ReleaseRepaints(false);
}

}  // namespace pagepane

void LaunchPath(const std::u16string& path) {
    auto [file, folder] = pagepane::OpenTextOf(path);
    // The shell waits on the file it opens: a share that has gone away would
    // hold the window.
    Lookups().Submit(0, ShareOf(path), [file, folder]() -> LookupQueue::Apply {
        shell::ShellExecuteW(nullptr, nullptr, AsW(file), nullptr, folder.empty() ? nullptr : AsW(folder),
                             SW_SHOWNORMAL);
        return nullptr;
    });
}

}  // namespace vc
