#include "ui/WindowEdges.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace valdrin {

namespace {
QString qt(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

int showBox(QWidget* parent, QMessageBox::Icon icon, const std::string& caption, const std::string& text,
            QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, qt(caption), qt(text), buttons, parent);
    return box.exec();
}
} // namespace

void WindowMessages::information(const std::string& text, const std::string& caption)
{
    showBox(parent_, QMessageBox::Information, caption, text, QMessageBox::Ok);
}

void WindowMessages::error(const std::string& text, const std::string& caption)
{
    showBox(parent_, QMessageBox::Critical, caption, text, QMessageBox::Ok);
}

bool WindowMessages::question(const std::string& text)
{
    return showBox(parent_, QMessageBox::Information, "Information", text, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

void WindowMessages::applicationError(const std::string& text)
{
    if (errorBoxOpen_) {
        ++errorsCounted_;
        return;
    }
    errorBoxOpen_ = true;
    ++errorsShown_;
    // The box opens from the event loop, not inside the handler that failed: a box
    // inside the serial poll's timer would hold that timer (Qt does not fire a timer
    // again while its own slot runs), and frames would stop while the box is open.
    QTimer::singleShot(0, &anchor_, [this, text] {
        // The box's caption is the application's title, which start-up leaves empty.
        showBox(parent_, QMessageBox::Critical, std::string(), text, QMessageBox::Ok);
        errorBoxOpen_ = false;
    });
}

void WindowBeeper::beep() { QApplication::beep(); }

QStringList qtNameFilters(const std::string& filter)
{
    const QStringList parts = qt(filter).split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // The description often names its patterns already: "Text(*.txt)".
        const qsizetype open = description.lastIndexOf(u'(');
        if (open > 0 && description.endsWith(u')'))
            description = description.left(open).trimmed();
        QStringList patterns;
        for (QString p : parts[i + 1].split(u';', Qt::SkipEmptyParts)) {
            p = p.trimmed();
            patterns << (p == u"*.*" ? QStringLiteral("*") : p);
        }
        filters << description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

std::optional<std::string> WindowFileDialogs::saveFileName(const FileDialogOptions& options)
{
    return ask(options, true);
}

std::optional<std::string> WindowFileDialogs::openFileName(const FileDialogOptions& options)
{
    return ask(options, false);
}

std::optional<std::string> WindowFileDialogs::ask(const FileDialogOptions& options, bool save)
{
    QFileDialog dialog(parent_);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(qtNameFilters(options.filter));
    dialog.setDefaultSuffix(qt(options.defaultExtension));
    // A name typed without extension takes that of the chosen file type (the table
    // files' format follows it), the default extension only for a type of many.
    if (save && !options.defaultExtension.empty())
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &options](const QString& filter) {
            const qsizetype open = filter.lastIndexOf(u'(');
            const QString patterns = open >= 0 && filter.endsWith(u')') ? filter.sliced(open + 1).chopped(1) : QString();
            const bool one = patterns.startsWith(QStringLiteral("*.")) && !patterns.contains(u' ')
                             && !patterns.sliced(2).contains(u'*');
            dialog.setDefaultSuffix(one ? patterns.mid(2) : qt(options.defaultExtension));
        });
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.overwritePrompt);
    dialog.setSizeGripEnabled(options.resizable);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

void WindowPollTimer::start(unsigned periodMs, std::function<void()> tick)
{
    tick_ = std::move(tick);
    timer_.disconnect();
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (tick_)
            tick_();
        if (afterTick)
            afterTick();
    });
    timer_.start(static_cast<int>(periodMs));
}

} // namespace valdrin
