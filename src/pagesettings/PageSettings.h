// What the page settings dialog decides without windows: its panes, its
// caption, which page it edits and the entry name its sample strip shows.
#pragma once

#include <string>
#include <string_view>

#include "settings/Records.h"

namespace vc {

// One pane of a settings dialog: the toolbar button that shows it, the
// child template, the button's text (also the pane's name in questions),
// its tooltip (a line break parts title and explanation) and its picture in
// the toolbar strip.
struct SettingsPaneInfo {
    int buttonId;
    int templateId;
    const char16_t* text;
    const char16_t* tip;
    int image;
};

constexpr int kPageSettingsPaneCount = 5;
extern const SettingsPaneInfo PageSettingsPanes[kPageSettingsPaneCount];

// The pane whose button has command `id`, or -1.
int PaneOfButton(const SettingsPaneInfo* panes, int count, int id);

// "Vellumcraft - ページ "label" の設定", the label cut at 32 units.
std::u16string PageSettingsCaption(std::u16string_view label);

// The page the current tab shows: a shown special page or user page
// `CurrentPage`. -1 when there is none (no pages at all).
PageId PageIdOfCurrentTab(const Records& r);

// The sample strip's next entry: one further, back to 0 past the last entry.
// With no entries the index stays (the strip keeps its text).
int NextSampleIndex(int index, int entryCount);

// The question of "初期値設定...": whether the pane's settings become the
// defaults for new pages. The pane name is cut at 5 units.
std::u16string MakeDefaultQuestion(std::u16string_view paneName);

// Whether the settings file keeps every line of `comment`: it stores the
// first kCommentMaxLines lines (separated by CR LF) and drops the rest.
bool CommentFitsFile(std::u16string_view comment);
// The lines of `comment` the file keeps, without the break after the last.
std::u16string CommentAsKept(std::u16string_view comment);

// What the sample strip shows of a file name: the part before its first
// "."; on the recent-files page also before its first " (".
std::u16string SampleText(std::u16string_view fileName, bool recentPage);

}  // namespace vc
