// Template and controls of the label pane of the page settings dialog.
#pragma once

#define IDC_LABEL_TEXT              1021  // the tab's text
#define IDC_LABEL_LOCK              1022  // "変更禁止": no registrations or removals
#define IDC_LABEL_COMMENT           1024  // the tab's tooltip text
#define IDC_LABEL_COLOUR            1073  // owner-drawn list of the 19 label colours
