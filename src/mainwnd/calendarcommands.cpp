#include "mainwnd/calendarcommands.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <string_view>
#include <utility>

#include "calendar/ctime.h"
#include "ical/icalexport.h"
#include "ical/taskimport.h"
#include "mainwnd/cursorguards.h"
#include "mainwnd/mainactions.h"
#include "mainwnd/maindlg.h"
#include "mainwnd/messagebox.h"
#include "res/strings.h"
#include "tasks/taskfile.h"

namespace {

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

// A message, then on their own lines the path and the reason.
QString WithPath(const char* message, const QString& path, const QString& reason = {}) {
    QString text = Text(message) + QStringLiteral("\n\n") + QDir::toNativeSeparators(path);
    if (!reason.isEmpty()) {
        text += QStringLiteral("\n") + reason;
    }
    return text;
}

}  // namespace

CCalendarCommands::CCalendarCommands(CMainDlg& window, const CTaskFile& file, const IClock& clock,
                                     std::function<void()> refresh, QObject* parent)
    : QObject(parent),
      m_window(window),
      m_taskFile(file),
      m_clock(clock),
      m_refresh(std::move(refresh)),
      m_strFolder(QDir::homePath()) {
    const CMainActions& actions = window.Actions();
    connect(actions.pImportCalendar, &QAction::triggered, this,
            &CCalendarCommands::OnImportCalendar);
    connect(actions.pExportCalendar, &QAction::triggered, this,
            &CCalendarCommands::OnExportCalendar);
}

std::optional<QString> CCalendarCommands::ChooseFile(QFileDialog::AcceptMode mode) {
    const bool bOpen = mode == QFileDialog::AcceptOpen;
    QFileDialog dialog(m_window.DialogParent(),
                       Text(bOpen ? Str::ImportCalendar : Str::ExportCalendar), m_strFolder,
                       Text(Str::CalendarFiles));
    dialog.setObjectName(QStringLiteral("calendarFileDialog"));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!bOpen) {
        dialog.setDefaultSuffix(QStringLiteral("ics"));
        dialog.selectFile(QStringLiteral("tasks.ics"));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString path = dialog.selectedFiles().front();
    m_strFolder = QFileInfo(path).absolutePath();
    return path;
}

void CCalendarCommands::OnImportCalendar() {
    const std::optional<QString> path = ChooseFile(QFileDialog::AcceptOpen);
    if (!path) {
        return;
    }
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) {
        CMessageBox::Error(&m_window, WithPath(Str::CalendarNotRead, *path, file.errorString()),
                           Text(Str::ImportCalendar));
        return;
    }
    const QByteArray text = file.readAll();
    ImportReport report;
    {
        const CWaitCursor wait;
        report = ImportCalendar(
            m_taskFile, std::string_view(text.constData(), static_cast<std::size_t>(text.size())),
            m_clock.GetCurrentTime());
    }
    const QString shown =
        QString::fromStdString(ImportReportText(report, QFileInfo(*path).fileName().toStdString()));
    if (!report.bImported) {
        CMessageBox::Error(&m_window, shown.trimmed(), Text(Str::ImportCalendar));
        return;
    }
    CMessageBox::Information(&m_window, shown.trimmed(), Text(Str::ImportCalendar));
    if (report.nAdded > 0) {
        m_refresh();
    }
}

void CCalendarCommands::OnExportCalendar() {
    const std::optional<QString> path = ChooseFile(QFileDialog::AcceptSave);
    if (!path) {
        return;
    }
    CalendarExport calendar;
    if (ExportTaskFile(m_taskFile, m_clock.GetCurrentTime(), calendar) != kDone) {
        CMessageBox::Error(&m_window, QString::fromStdString(m_taskFile.ProblemText()),
                           Text(Str::ExportCalendar));
        return;
    }
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(calendar.text.data(), static_cast<qint64>(calendar.text.size())) !=
            static_cast<qint64>(calendar.text.size()) ||
        !file.commit()) {
        CMessageBox::Error(&m_window, WithPath(Str::CalendarNotWritten, *path, file.errorString()),
                           Text(Str::ExportCalendar));
        return;
    }
    CMessageBox::Information(&m_window, WithPath(Str::CalendarExported, *path),
                             Text(Str::ExportCalendar));
}
