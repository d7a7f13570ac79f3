#include "pageview/DroppedFiles.h"

#include <algorithm>

#include "common/U16.h"

namespace vc {

std::vector<DropFate> PlanDrop(const std::vector<std::u16string>& dropped, const std::vector<std::u16string>& onPage,
                               DropRoom room) {
    std::vector<DropFate> fates;
    std::vector<std::u16string_view> seen(onPage.begin(), onPage.end());
    for (const std::u16string& path : dropped) {
        auto same = [&](std::u16string_view other) { return EqualsNoCase(other, path); };
        const size_t cost = path.size() + 2;
        DropFate fate = DropFate::Register;
        if (room.locked) fate = DropFate::Locked;
        else if (std::any_of(seen.begin(), seen.end(), same)) fate = DropFate::Duplicate;
        else if (room.slots <= 0 || cost > room.units) fate = DropFate::NoRoom;
        if (fate == DropFate::Register) {
            --room.slots;
            room.units -= cost;
            seen.push_back(path);
        }
        fates.push_back(fate);
    }
    return fates;
}

std::u16string DropRefusalText(const std::vector<DropFate>& fates) {
    auto count = [&](DropFate f) { return int(std::count(fates.begin(), fates.end(), f)); };
    const int refused = int(fates.size()) - count(DropFate::Register);
    if (refused == 0) return u"";
    // A locked page refuses the whole drop: that alone is the reason.
    if (count(DropFate::Locked) > 0)
        return Dec(refused) + u" 個のファイルを登録できませんでした。\n（このページは変更禁止です）";
    std::u16string reasons;
    auto reason = [&](DropFate f, std::u16string_view name) {
        const int n = count(f);
        if (n == 0) return;
        if (!reasons.empty()) reasons += u"、";
        reasons.append(name);
        reasons += u' ';
        reasons += Dec(n);
        reasons += u" 個";
    };
    reason(DropFate::Duplicate, u"重複");
    reason(DropFate::NoRoom, u"空きなし");
    return Dec(refused) + u" 個のファイルを登録できませんでした。\n（" + reasons + u"）";
}

}  // namespace vc
