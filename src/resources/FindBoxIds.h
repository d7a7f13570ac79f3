// Template and controls of the find box over every page (Ctrl+F).
#pragma once

#define IDD_FINDBOX                 153
#define IDC_FIND_EDIT               1451  // the text to find, each key finds anew
#define IDC_FIND_LIST               1452  // what it finds: name, page, location
#define IDC_FIND_COUNT              1453  // how many it finds
#define IDC_FIND_SHOWPAGE           1454  // shows the entry's page with it selected (Alt+Enter)
