// Saving the chart as a picture (BtSaveClick): the picture dialog's options, the
// chart drawn at a given size on a white bitmap, and the bitmap written as a BMP
// file that either appears whole under the chosen name or not at all.
#pragma once

#include <QImage>

#include <optional>
#include <string>

#include "base/Edges.h"

class QFont;
class QSize;

namespace valdrin {

class ChartModel;

// SavePictureDialog1: bitmaps only, default extension bmp, asks before overwriting.
FileDialogOptions SavePictureDialog1();

// The whole chart at `size`, on a white background.
QImage chartPicture(const ChartModel& model, QSize size, const QFont& font);

// Writes the picture as a Windows bitmap; the error text when that failed.
std::optional<std::string> writeBitmapFile(const QImage& picture, const std::string& path);

// The dialog, the picture at `size` and the file, then "Graphic has saved on <full
// path>"; a failed write goes to the application's error handler instead.
void BtSaveClick(const ChartModel& model, QSize size, const QFont& font, Messages& messages, FileDialogs& dialogs);

} // namespace valdrin
