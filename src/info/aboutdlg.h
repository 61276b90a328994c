#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

#include "platform/memorystatus.h"

class QListWidget;

namespace Ui {
class CAboutDlg;
}

// The About box: the program's name and version, and the machine's physical memory as it was
// when the box opened.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(const MemoryStatus& memory, QWidget* parent = nullptr);
    ~CAboutDlg() override;

    // The three lines the box shows for a memory status: total, free and the share in use.
    static QStringList MemoryLines(const MemoryStatus& memory);

    QListWidget* MemoryList() const;

private:
    std::unique_ptr<Ui::CAboutDlg> m_ui;
};
