#pragma once

// What the main window's test programs share: a clock the tests set, a responder that answers
// reminder dialogs as they open, and the task list's texts.
#include <QAbstractItemModel>
#include <QApplication>
#include <QCursor>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

#include "reminder/ctime.h"
#include "reminder/reminderdlg.h"

namespace {

class CTestClock final : public IClock {
public:
    CTime now;
    CTime GetCurrentTime() const override { return now; }
};

enum class Answer { Okay, RemindTomorrow, Details };

// Answers every reminder dialog as it opens and notes what it showed.
class CReminderResponder : public QObject {
public:
    struct Seen {
        QString caption;
        QString title;
        int nRecord = 0;
        int bPlaySound = 0;
        bool bMainVisible = false;
        bool bArrowCursor = false;  // not the poll's wait cursor
    };

    CReminderResponder(QWidget* pMain, Answer answer) : m_pMain(pMain), m_answer(answer) {
        connect(&m_timer, &QTimer::timeout, this, &CReminderResponder::Check);
        m_timer.start(5);
    }

    std::vector<Seen> seen;
    std::function<void()> onOpen;  // runs while the dialog waits, before it is answered

private:
    void Check() {
        auto* pDlg = qobject_cast<CReminderDlg*>(QApplication::activeModalWidget());
        if (pDlg == nullptr || pDlg == m_pLast) {
            return;
        }
        m_pLast = pDlg;
        const QCursor* pCursor = QApplication::overrideCursor();
        seen.push_back({pDlg->m_szCaption, pDlg->m_szTitle, pDlg->m_nRecord, pDlg->m_bPlaySound,
                        m_pMain->isVisible(),
                        pCursor != nullptr && pCursor->shape() == Qt::ArrowCursor});
        if (onOpen) {
            onOpen();
        }
        switch (m_answer) {
            case Answer::Okay:
                pDlg->reject();
                break;
            case Answer::RemindTomorrow:
                pDlg->RemindTomorrowButton()->click();
                break;
            case Answer::Details:
                pDlg->accept();
                break;
        }
    }

    QWidget* m_pMain;
    Answer m_answer;
    QTimer m_timer;
    CReminderDlg* m_pLast = nullptr;
};

QString Cell(const QAbstractItemModel& model, int row, int column) {
    return model.data(model.index(row, column)).toString();
}

}  // namespace
