#include "mainwnd/messagebox.h"

#include "mainwnd/cursorguards.h"

std::optional<QMessageBox::StandardButton> CMessageBox::s_nextAnswer;
CMessageBox::Record CMessageBox::s_last;
int CMessageBox::s_nCount = 0;

QMessageBox::StandardButton CMessageBox::Show(QWidget* parent, QMessageBox::Icon icon,
                                              const QString& text, const QString& caption,
                                              QMessageBox::StandardButtons buttons) {
    s_last = Record{icon, text, caption, buttons};
    ++s_nCount;
    if (s_nextAnswer) {
        const QMessageBox::StandardButton answer = *s_nextAnswer;
        s_nextAnswer.reset();
        return answer;
    }
    QMessageBox box(icon, caption, text, buttons, parent);
    // A box may open inside a poll that shows the wait cursor; the user needs the arrow.
    const CArrowCursor arrow;
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton CMessageBox::Question(QWidget* parent, const QString& text,
                                                  const QString& caption) {
    return Show(parent, QMessageBox::Question, text, caption, QMessageBox::Yes | QMessageBox::No);
}

void CMessageBox::Error(QWidget* parent, const QString& text, const QString& caption) {
    Show(parent, QMessageBox::Critical, text, caption, QMessageBox::Ok);
}

void CMessageBox::Information(QWidget* parent, const QString& text, const QString& caption) {
    Show(parent, QMessageBox::Information, text, caption, QMessageBox::Ok);
}

void CMessageBox::SetNextAnswer(QMessageBox::StandardButton answer) {
    s_nextAnswer = answer;
}

const CMessageBox::Record& CMessageBox::Last() {
    return s_last;
}

int CMessageBox::Count() {
    return s_nCount;
}

void CMessageBox::ResetRecord() {
    s_last = Record{};
    s_nCount = 0;
    s_nextAnswer.reset();
}
