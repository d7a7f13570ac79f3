// Controls of the FoldersPane of the general settings dialog.
#pragma once
