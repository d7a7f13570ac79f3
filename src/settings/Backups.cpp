#include "settings/Backups.h"

#include <algorithm>

#include "common/U16.h"
#include "settings/Records.h"
#include "settings/SettingsFile.h"

namespace vc {

namespace {

// "C:\Tools\Vellumcraft.vcset" splits into "C:\Tools\" and "Vellumcraft".
std::pair<std::u16string_view, std::u16string_view> FolderAndName(std::u16string_view path) {
    size_t nameStart = path.find_last_of(u"\\/");
    nameStart = nameStart == std::u16string_view::npos ? 0 : nameStart + 1;
    size_t dot = path.rfind(u'.');
    if (dot == std::u16string_view::npos || dot < nameStart) dot = path.size();
    return {path.substr(0, nameStart), path.substr(nameStart, dot - nameStart)};
}

constexpr std::u16string_view kExtension = u".vcset";
constexpr size_t kStampLength = 15;  // YYYYMMDD-HHMMSS

// The stamp of a copy's name, or empty for a name that is not a copy's.
std::u16string_view StampOf(std::u16string_view settingsPath, std::u16string_view fileName) {
    const std::u16string_view name = FolderAndName(settingsPath).second;
    if (fileName.size() != name.size() + 1 + kStampLength + kExtension.size()) return {};
    if (!EqualsNoCase(fileName.substr(0, name.size()), name) || fileName[name.size()] != u'-') return {};
    if (!EqualsNoCase(fileName.substr(fileName.size() - kExtension.size()), kExtension)) return {};
    const std::u16string_view stamp = fileName.substr(name.size() + 1, kStampLength);
    for (size_t i = 0; i < stamp.size(); ++i) {
        const bool digit = stamp[i] >= u'0' && stamp[i] <= u'9';
        if (i == 8 ? stamp[i] != u'-' : !digit) return {};
    }
    return stamp;
}

int Number(std::u16string_view digits) {
    int n = 0;
    for (char16_t c : digits) n = n * 10 + (c - u'0');
    return n;
}

}  // namespace

std::u16string BackupFolderOf(std::u16string_view settingsPath) {
    const auto [folder, name] = FolderAndName(settingsPath);
    return std::u16string(folder) + std::u16string(name) + u"_Backups";
}

std::u16string BackupFileName(std::u16string_view settingsPath, const BackupTime& t) {
    return std::u16string(FolderAndName(settingsPath).second) + u"-" + DecPadded(t.year, 4) + DecPadded(t.month, 2) +
           DecPadded(t.day, 2) + u"-" + DecPadded(t.hour, 2) + DecPadded(t.minute, 2) + DecPadded(t.second, 2) +
           std::u16string(kExtension);
}

std::optional<BackupTime> BackupTimeOf(std::u16string_view settingsPath, std::u16string_view fileName) {
    const std::u16string_view s = StampOf(settingsPath, fileName);
    if (s.empty()) return std::nullopt;
    return BackupTime{Number(s.substr(0, 4)),  Number(s.substr(4, 2)),  Number(s.substr(6, 2)),
                      Number(s.substr(9, 2)), Number(s.substr(11, 2)), Number(s.substr(13, 2))};
}

std::u16string BackupTimeText(const BackupTime& t) {
    return DecPadded(t.year, 4) + u"/" + DecPadded(t.month, 2) + u"/" + DecPadded(t.day, 2) + u" " +
           DecPadded(t.hour, 2) + u":" + DecPadded(t.minute, 2) + u":" + DecPadded(t.second, 2);
}

std::vector<std::u16string> BackupsNewestFirst(std::u16string_view settingsPath, std::vector<std::u16string> names) {
    std::erase_if(names, [&](const std::u16string& n) { return StampOf(settingsPath, n).empty(); });
    std::stable_sort(names.begin(), names.end(), [&](const std::u16string& a, const std::u16string& b) {
        return StampOf(settingsPath, a) > StampOf(settingsPath, b);
    });
    return names;
}

bool BackupDue(std::u16string_view settingsPath, const std::vector<std::u16string>& names, const BackupTime& now,
               int generations) {
    if (generations <= 0) return false;
    const std::u16string today = BackupFileName(settingsPath, now).substr(FolderAndName(settingsPath).second.size() + 1, 8);
    const std::vector<std::u16string> copies = BackupsNewestFirst(settingsPath, names);
    return copies.empty() || StampOf(settingsPath, copies.front()).substr(0, 8) != today;
}

std::vector<std::u16string> BackupsBeyond(std::u16string_view settingsPath, const std::vector<std::u16string>& names,
                                          int generations) {
    std::vector<std::u16string> copies = BackupsNewestFirst(settingsPath, names);
    if (generations <= 0 || copies.size() <= size_t(generations)) return {};
    return {copies.begin() + generations, copies.end()};
}

BackupContents ExamineBackup(std::string_view bytes) {
    const bool marked = bytes.size() >= 2 && uint8_t(bytes[0]) == 0xFF && uint8_t(bytes[1]) == 0xFE;
    if (!marked || bytes.size() % 2 || bytes.size() > kMaxSettingsFileBytes) return {};
    const ProfileDocument doc = ProfileDocument::FromBytes(bytes);
    if (doc.LineCount() > 2 * kMaxSettingsFileLines || !doc.EndsWithLineBreak() || !doc.HasSection(u"Vellumcraft") ||
        doc.Text().rfind(u";Vellumcraft", 0) != 0)
        return {};
    if (LastPageSection(doc) < doc.GetInt(u"Vellumcraft", u"PageCount", 0)) return {};
    return {true, std::clamp<int32_t>(PageCountOf(doc), 1, kMaxPageCount)};
}

bool KeepBackup(FileSystem& fs, std::u16string_view settingsPath, const std::string& bytes, const BackupTime& now) {
    // A name of the same second that holds other bytes (the day's copy made
    // moments before a restore) gives way to the next second's, so that the
    // newest copy stays the newest name.
    BackupTime t = now;
    for (int tries = 0; tries < 60; ++tries, ++t.second) {
        if (t.second == 60) t.second = 0, ++t.minute;
        if (t.minute == 60) t.minute = 0, ++t.hour;
        if (t.hour == 24) break;
        const std::u16string copy = BackupFolderOf(settingsPath) + u"\\" + BackupFileName(settingsPath, t);
        if (fs.CreateAtomically(copy, bytes)) return true;
        std::string there;
        const ReadResult read = fs.ReadAll(copy, there);
        if (read != ReadResult::Ok || there == bytes) return read == ReadResult::Ok;
    }
    return false;
}

RestoreResult RestoreBackup(FileSystem& fs, std::u16string_view settingsPath, const std::u16string& copyPath,
                            const BackupTime& now) {
    std::string chosen;
    if (fs.ReadAll(copyPath, chosen) != ReadResult::Ok || !ExamineBackup(chosen).whole) return RestoreResult::CopyDamaged;
    const std::u16string path(settingsPath);
    std::string current;
    const ReadResult read = fs.ReadAll(path, current);
    if (read == ReadResult::Failed || (read == ReadResult::Ok && !KeepBackup(fs, path, current, now)))
        return RestoreResult::NotKept;
    return fs.ReplaceAtomically(path, chosen) ? RestoreResult::Restored : RestoreResult::NotWritten;
}

}  // namespace vc
