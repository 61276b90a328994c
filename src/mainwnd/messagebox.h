#pragma once

#include <QMessageBox>
#include <QString>
#include <optional>

// Every message box of the main window goes through here, so that tests can answer a box
// before it opens and see what it said. Without a preset answer a real modal box is shown.
class CMessageBox {
public:
    static QMessageBox::StandardButton Show(QWidget* parent, QMessageBox::Icon icon,
                                            const QString& text, const QString& caption,
                                            QMessageBox::StandardButtons buttons);

    static QMessageBox::StandardButton Question(QWidget* parent, const QString& text,
                                                const QString& caption);
    static void Error(QWidget* parent, const QString& text, const QString& caption);
    static void Information(QWidget* parent, const QString& text, const QString& caption);

    // The next box is not shown; it answers with this button instead.
    static void SetNextAnswer(QMessageBox::StandardButton answer);

    // What the last box said and how many boxes there were, shown or answered in advance.
    struct Record {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString text;
        QString caption;
        QMessageBox::StandardButtons buttons;
    };
    static const Record& Last();
    static int Count();
    static void ResetRecord();

private:
    static std::optional<QMessageBox::StandardButton> s_nextAnswer;
    static Record s_last;
    static int s_nCount;
};
