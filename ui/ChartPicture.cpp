#include "ui/ChartPicture.h"

#include "ui/ChartPainter.h"

#include <QFileInfo>
#include <QFont>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

namespace valdrin {

FileDialogOptions SavePictureDialog1()
{
    FileDialogOptions options;
    options.filter = "Bitmaps (*.bmp)|*.bmp";
    options.defaultExtension = "bmp";
    options.overwritePrompt = true;
    options.resizable = true;
    return options;
}

QImage chartPicture(const ChartModel& model, QSize size, const QFont& font)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setFont(font);
    paintChart(painter, model, size);
    return picture;
}

std::optional<std::string> writeBitmapFile(const QImage& picture, const std::string& path)
{
    const QString name = QString::fromStdString(path);
    // Written beside the target and renamed over it at the end, so that a failed
    // write leaves no half picture and an existing file stays as it was.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return "Cannot create file \"" + path + "\". " + file.errorString().toStdString();
    QImageWriter writer(&file, "bmp");
    if (!writer.write(picture)) {
        const std::string reason = file.error() != QFileDevice::NoError ? file.errorString().toStdString()
                                                                         : writer.errorString().toStdString();
        file.cancelWriting();
        return "Cannot write file \"" + path + "\". " + reason;
    }
    if (!file.commit())
        return "Cannot write file \"" + path + "\". " + file.errorString().toStdString();
    return std::nullopt;
}

void BtSaveClick(const ChartModel& model, QSize size, const QFont& font, Messages& messages, FileDialogs& dialogs)
{
    const std::optional<std::string> name = dialogs.saveFileName(SavePictureDialog1());
    if (!name)
        return;
    if (const auto error = writeBitmapFile(chartPicture(model, size, font), *name)) {
        messages.applicationError(*error);
        return;
    }
    const std::string full = QFileInfo(QString::fromStdString(*name)).absoluteFilePath().toStdString();
    messages.information("Graphic has saved on " + full, "Information");
}

} // namespace valdrin
