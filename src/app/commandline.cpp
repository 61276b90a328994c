#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSettings>
#include <cstring>
#include <iostream>
#include <memory>
#include <string_view>

#include "app/clicommands.h"
#include "platform/programfolders.h"
#include "platform/settingsstore.h"
#include "tasks/taskfile.h"

namespace {

constexpr std::string_view kHelpFlags[] = {"-h", "--help", "-?", "--help-all", "-v", "--version"};

const char* const kDescription =
    "Marmoset Task keeps dated tasks in one text file and reminds you of them. Without a "
    "command it starts the window; with one it works on the same task file and ends.\n\n"
    "Commands:\n"
    "  list [--due] [--tsv]            the tasks as the list shows them\n"
    "  add TITLE --date DATE [...]     adds a task\n"
    "  export FILE.ics                 writes the tasks as an iCalendar file (- for output)\n"
    "  import FILE.ics                 adds a calendar's events and to-dos (- for input)\n\n"
    "\"marmoset-task COMMAND --help\" describes a command.";

int UsageError(const QString& text) {
    std::cerr << "marmoset-task: " << text.toStdString() << "\nTry \"marmoset-task --help\".\n";
    return kExitUsage;
}

// The task file the window uses: in the user's data folder for an installed program, beside
// the program for a portable one, under the name the settings keep.
CTaskFile ProgramTaskFile(bool bWrites) {
    const ProgramFolders folders = FindProgramFolders(QCoreApplication::applicationDirPath());
    const std::unique_ptr<QSettings> pSettings = OpenProgramSettings();
    CSettingsStore store(*pSettings);
    const LoadedSettings loaded = LoadSettings(store, folders.taskFolder);
    if (folders.bFirstStart && bWrites) {
        CreateFirstTaskFile(loaded.taskFilePath);
    }
    return CTaskFile(loaded.taskFilePath);
}

// One command's own parser: its options, its one positional argument (when it takes one),
// and --help.
class CCommandParser {
public:
    CCommandParser(const QString& command, const QString& description) : m_command(command) {
        m_parser.setApplicationDescription(description);
        m_parser.addHelpOption();
    }

    void AddOption(const QString& name, const QString& description, const QString& value = {}) {
        m_parser.addOption(QCommandLineOption(name, description, value));
    }
    void TakesArgument(const QString& name, const QString& description) {
        m_strArgument = name;
        m_parser.addPositionalArgument(name, description, m_command + " " + name);
    }

    // Parses the command's arguments; an exit status when the command should not run (help
    // shown, or a usage error).
    std::optional<int> Parse(const QStringList& arguments) {
        if (m_strArgument.isEmpty()) {
            m_parser.addPositionalArgument(m_command, QString(), m_command);
        }
        if (!m_parser.parse(arguments)) {
            return UsageError(m_command + ": " + m_parser.errorText());
        }
        if (m_parser.isSet(QStringLiteral("help"))) {
            std::cout << m_parser.helpText().toStdString();
            return kExitSuccess;
        }
        const qsizetype nWanted = m_strArgument.isEmpty() ? 0 : 1;
        if (m_parser.positionalArguments().size() != nWanted) {
            return UsageError(m_command + (nWanted == 0
                                               ? QStringLiteral(" takes no argument")
                                               : QStringLiteral(" takes one ") + m_strArgument +
                                                     QStringLiteral(" (in quotes "
                                                                    "when it has "
                                                                    "blanks)")));
        }
        return std::nullopt;
    }

    bool IsSet(const QString& name) const { return m_parser.isSet(name); }
    std::string Value(const QString& name) const { return m_parser.value(name).toStdString(); }
    std::string Argument() const { return m_parser.positionalArguments().value(0).toStdString(); }

private:
    QString m_command;
    QString m_strArgument;
    QCommandLineParser m_parser;
};

int RunList(const QStringList& arguments) {
    CCommandParser parser(QStringLiteral("list"),
                          QStringLiteral("Lists the tasks as the window's list shows them: date, "
                                         "hour, status, recurrence and title."));
    parser.AddOption(QStringLiteral("due"),
                     QStringLiteral("Only the tasks a reminder is due for now, with its caption."));
    parser.AddOption(QStringLiteral("tsv"),
                     QStringLiteral("Tab-separated fields for scripts, the hour as 1 to 24."));
    if (const std::optional<int> status = parser.Parse(arguments)) {
        return *status;
    }
    const ListOptions options{.bDueOnly = parser.IsSet(QStringLiteral("due")),
                              .bTabSeparated = parser.IsSet(QStringLiteral("tsv"))};
    return ListCommand(ProgramTaskFile(false), CSystemClock().GetCurrentTime(), options, std::cout,
                       std::cerr);
}

int RunAdd(const QStringList& arguments) {
    CCommandParser parser(QStringLiteral("add"),
                          QStringLiteral("Adds a task, checked as the Task Editor checks it."));
    parser.TakesArgument(QStringLiteral("TITLE"), QStringLiteral("The task's title."));
    parser.AddOption(QStringLiteral("date"),
                     QStringLiteral("The due date, YYYY-MM-DD or M/D/YYYY (required)."),
                     QStringLiteral("DATE"));
    parser.AddOption(QStringLiteral("hour"),
                     QStringLiteral("The due hour, 1 to 24 (24 is midnight at the end of the "
                                    "day; 6 when not given)."),
                     QStringLiteral("H"));
    parser.AddOption(QStringLiteral("advance"),
                     QStringLiteral("Days of advance notice, 0 to 30 (0 when not given)."),
                     QStringLiteral("N"));
    parser.AddOption(QStringLiteral("repeat"),
                     QStringLiteral("none, weekly, monthly or yearly (none when not given); "
                                    "weekly repeats on the date's weekday."),
                     QStringLiteral("REPEAT"));
    parser.AddOption(QStringLiteral("note"), QStringLiteral("A note for the task."),
                     QStringLiteral("TEXT"));
    if (const std::optional<int> status = parser.Parse(arguments)) {
        return *status;
    }
    if (!parser.IsSet(QStringLiteral("date"))) {
        return UsageError(QStringLiteral("add needs --date DATE"));
    }
    TaskInput input;
    input.title = parser.Argument();
    input.date = parser.Value(QStringLiteral("date"));
    for (const auto& [name, value] : {std::pair{QStringLiteral("hour"), &input.hour},
                                      std::pair{QStringLiteral("advance"), &input.advanceDays},
                                      std::pair{QStringLiteral("repeat"), &input.repeat},
                                      std::pair{QStringLiteral("note"), &input.note}}) {
        if (parser.IsSet(name)) {
            *value = parser.Value(name);
        }
    }
    return AddCommand(ProgramTaskFile(true), input, std::cerr);
}

int RunExchange(const QString& command, const QStringList& arguments) {
    const bool bExport = command == QStringLiteral("export");
    CCommandParser parser(
        command, bExport ? QStringLiteral("Writes every task as an iCalendar event.")
                         : QStringLiteral("Adds the events and to-dos of an iCalendar file as "
                                          "tasks; what was added, skipped, changed to fit or "
                                          "refused is reported on standard error."));
    parser.TakesArgument(QStringLiteral("FILE.ics"),
                         bExport ? QStringLiteral("The calendar file to write, - for standard "
                                                  "output.")
                                 : QStringLiteral("The calendar file to read, - for standard "
                                                  "input."));
    if (const std::optional<int> status = parser.Parse(arguments)) {
        return *status;
    }
    const CTime now = CSystemClock().GetCurrentTime();
    return bExport ? ExportCommand(ProgramTaskFile(false), now, parser.Argument(), std::cerr)
                   : ImportCommand(ProgramTaskFile(true), now, parser.Argument(), std::cerr);
}

}  // namespace

bool IsCommandLine(int argc, char** argv) {
    if (argc < 2) {
        return false;
    }
    const std::string_view first = argv[1];
    if (!first.starts_with('-')) {
        return true;
    }
    for (const std::string_view flag : kHelpFlags) {
        if (first == flag) {
            return true;
        }
    }
    return false;
}

int RunCommandLine(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("marmoset-task"));
    QCoreApplication::setApplicationVersion(QStringLiteral(MARMOSET_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("COMMAND"),
                                 QStringLiteral("list, add, export or "
                                                "import"),
                                 QStringLiteral("COMMAND [OPTIONS]"));
    // The command's own options are left for the command's parser.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QStringList arguments = QCoreApplication::arguments();
    if (!parser.parse(arguments)) {
        return UsageError(parser.errorText());
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::cout << parser.helpText().toStdString();
        return kExitSuccess;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::cout << "marmoset-task " << MARMOSET_VERSION << "\n";
        return kExitSuccess;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        return UsageError(QStringLiteral("no command given"));
    }
    const QString& command = positional.front();
    const QStringList commandArguments = QStringList{arguments.front()} + positional.mid(1);
    if (command == QStringLiteral("list")) {
        return RunList(commandArguments);
    }
    if (command == QStringLiteral("add")) {
        return RunAdd(commandArguments);
    }
    if (command == QStringLiteral("export") || command == QStringLiteral("import")) {
        return RunExchange(command, commandArguments);
    }
    return UsageError(QStringLiteral("\"") + command +
                      QStringLiteral("\" is no command: give list, add, export or import"));
}
