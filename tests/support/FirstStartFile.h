// The settings file that a first start writes, as the tests expect it.
#pragma once

#include <string>
#include <string_view>

#include "common/U16.h"

namespace vc::test {

// A user page's section as a new file holds it, with `files` as its entry keys.
inline std::u16string PageSection(int n, std::u16string_view files = u"Files000=\r\nFiles=1\r\n") {
    std::u16string p = u"Page" + Dec(n);
    return u"[" + p + u"]\r\nLabel=" + p + u"\r\nComment000=" + p +
           u" コメント\r\nComment=1\r\nLabelColor=6\r\nFlag=0\r\nFontName=MS UI Gothic\r\nFontSize=13\r\n"
           u"FontStyle=0\r\nFontColor=8224\r\nFontColorBk=15263976\r\nCursor=0\r\nListType=0\r\n"
           u"PageColumnWidth=190,160,75,95,75,\r\nPageListSort=1\r\n" +
           std::u16string(files);
}

inline const std::u16string kGlobalSection =
    u"[Vellumcraft]\r\nxPosi=230\r\nyPosi=178\r\nxSize=550\r\nySize=350\r\nTabStyle=65792\r\nTabNumber=0\r\n"
    u"PageCount=5\r\nLayerWindowLevel=192\r\nTabFontName=ＭＳ Ｐゴシック\r\nTabFontSize=12\r\n"
    u"LabelColor1=8421472\r\nLabelColor2=8421472\r\nLabelColor3=8421472\r\nLabelColor4=8421472\r\n"
    u"LabelColor5=8421472\r\nSpcialFolder=19\r\nSpcialRecentFileNum=25\r\nHotKey=1568\r\nNotifyIcon=1\r\nStartHidden=0\r\nHideAfterLaunch=0\r\nBackupGenerations=5\r\n";

// What a first start writes: three special tabs (SpcialFolder 19) and five pages.
inline std::u16string FirstStartText() {
    std::u16string t = u";Vellumcraft\r\n\r\n" + kGlobalSection;
    for (int i = 1; i <= 5; ++i) t += u"\r\n" + PageSection(i);
    return t;
}

}  // namespace vc::test
