// The window's table file commands: the save command saveasClick (tool button
// saveas, menu item Save1) and the load command SpeedButton2Click (OpenDataFiles),
// each a dialog of the file dialogs' edge followed by the table files' save or load.
#pragma once

#include "base/Edges.h"
#include "record/ReadingTable.h"
#include "record/TableFiles.h"

namespace valdrin {

// SaveDialog2: the three table formats, default extension xls, asks before
// replacing a file. Its file name starts empty every time.
FileDialogOptions SaveDialog2();
// OpenDialog1: the same three formats, no default extension.
FileDialogOptions OpenDialog1();

// The dialog, then SaveTableFile with the chosen name (it shows the outcome). A busy
// cursor stands while the file is written and is lifted before any message. False
// when the dialog was cancelled.
bool saveasClick(const ReadingTable& table, FileDialogs& dialogs, Messages& messages,
                 const TableFileOptions& options);

// The dialog, then LoadTableFile with the chosen name, never emptying the table first
// (a text file adds its rows; an XML file replaces them). Busy cursor as above.
bool SpeedButton2Click(ReadingTable& table, FileDialogs& dialogs, Messages& messages,
                       const TableFileOptions& options);

} // namespace valdrin
