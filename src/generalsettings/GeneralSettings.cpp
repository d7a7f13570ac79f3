#include "generalsettings/GeneralSettings.h"

namespace vc {

const SettingsPaneInfo GeneralSettingsPanes[kGeneralSettingsPaneCount] = {
    {1101, 141, u"全般", u"全般の設定\nTab、透明度、全般の設定", 0},
    {1102, 143, u"特別フォルダ", u"特別なフォルダ\n特別なフォルダの指定", 1},
    {1103, 142, u"ページ", u"ページ\nページのマーク、順番の設定", 2},
    {1104, 151, u"ラベル", u"ラベル\nラベルカスタムの設定", 3},
    {1105, 154, u"起動", u"起動と保存\n通知領域、起動、バックアップの設定", 9},
};

int32_t SelectedPagePosition(const Records& r) {
    const int32_t tab = r.GlobalSettings.TabNumber;
    const int32_t position = tab < r.ShownSpecialCount ? tab : r.ShownSpecialCount + r.CurrentPage;
    return position < 0 ? 0 : position;
}

uint32_t FoldersFromBoxes(uint32_t spcialFolder, uint32_t boxes) {
    return (spcialFolder & 0xFFFF0000u) | (boxes & 0xFFu);
}

}  // namespace vc
