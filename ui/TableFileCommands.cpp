#include "ui/TableFileCommands.h"

#include <QCursor>
#include <QGuiApplication>

namespace valdrin {

namespace {

// The busy cursor while a file is read or written. Messages go through it: the
// cursor is lifted before a box opens, so the outcome is not shown under it.
class BusyMessages final : public Messages {
public:
    explicit BusyMessages(Messages& inner) : inner_(inner) { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~BusyMessages() override { lift(); }
    BusyMessages(const BusyMessages&) = delete;
    BusyMessages& operator=(const BusyMessages&) = delete;

    void information(const std::string& text, const std::string& caption) override
    {
        lift();
        inner_.information(text, caption);
    }
    void error(const std::string& text, const std::string& caption) override
    {
        lift();
        inner_.error(text, caption);
    }
    bool question(const std::string& text) override
    {
        lift();
        return inner_.question(text);
    }
    void applicationError(const std::string& text) override
    {
        lift();
        inner_.applicationError(text);
    }

private:
    void lift()
    {
        if (busy_)
            QGuiApplication::restoreOverrideCursor();
        busy_ = false;
    }

    Messages& inner_;
    bool busy_ = true;
};

} // namespace

FileDialogOptions SaveDialog2()
{
    FileDialogOptions options;
    options.filter = "Excel File(*.xls)|*.xls|XML(*.xml)|*.xml|Txt File(*.txt)|*.txt";
    options.defaultExtension = "xls";
    options.overwritePrompt = true;
    return options;
}

FileDialogOptions OpenDialog1()
{
    FileDialogOptions options;
    options.filter = "Exel File(*.xls)|*.xls|XML (*.xml)|*.xml|Txt File(*.txt)|*.txt";
    return options;
}

bool saveasClick(const ReadingTable& table, FileDialogs& dialogs, Messages& messages,
                 const TableFileOptions& options)
{
    const std::optional<std::string> name = dialogs.saveFileName(SaveDialog2());
    if (!name)
        return false;
    BusyMessages busy(messages);
    SaveTableFile(table, *name, busy, options);
    return true;
}

bool SpeedButton2Click(ReadingTable& table, FileDialogs& dialogs, Messages& messages,
                       const TableFileOptions& options)
{
    const std::optional<std::string> name = dialogs.openFileName(OpenDialog1());
    if (!name)
        return false;
    BusyMessages busy(messages);
    LoadTableFile(*name, table, false, busy, options);
    return true;
}

} // namespace valdrin
