#pragma once

#include <QFileDialog>
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class CMainDlg;
class CTaskFile;
class IClock;

// The File menu's "Import Calendar..." and "Export Calendar...": the desktop's file dialog asks
// for the calendar file, the core does the exchange, and a message box gives its report. An
// import that added tasks refreshes the list afterwards.
class CCalendarCommands : public QObject {
    Q_OBJECT

public:
    // Everything given must outlive the commands; refresh lists the task file again.
    CCalendarCommands(CMainDlg& window, const CTaskFile& file, const IClock& clock,
                      std::function<void()> refresh, QObject* parent = nullptr);

private:
    void OnImportCalendar();
    void OnExportCalendar();
    // The file the user chose, or nothing when the dialog was cancelled.
    std::optional<QString> ChooseFile(QFileDialog::AcceptMode mode);

    CMainDlg& m_window;
    const CTaskFile& m_taskFile;
    const IClock& m_clock;
    std::function<void()> m_refresh;
    QString m_strFolder;  // where the last calendar file was, for the next dialog
};
