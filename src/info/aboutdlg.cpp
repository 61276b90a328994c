#include "info/aboutdlg.h"

#include <QListWidget>
#include <QPushButton>

#include "res/images.h"
#include "res/strings.h"
#include "ui_aboutdlg.h"

namespace {

// Memory is counted in decimal megabytes.
constexpr std::uint64_t kBytesPerMegabyte = 1000000;

}  // namespace

CAboutDlg::CAboutDlg(const MemoryStatus& memory, QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::CAboutDlg>()) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    // Answering the box must not count as closing the program's last window while the main
    // window hides in the tray.
    setAttribute(Qt::WA_QuitOnClose, false);
    m_ui->m_icon->setPixmap(AppIcon().pixmap(32, 32));
    m_ui->m_listMemory->addItems(MemoryLines(memory));
    connect(m_ui->m_ok, &QPushButton::clicked, this, &QDialog::accept);
    setFixedSize(sizeHint());
}

CAboutDlg::~CAboutDlg() = default;

QStringList CAboutDlg::MemoryLines(const MemoryStatus& memory) {
    return {QString::fromLatin1(Str::TotalRam).arg(memory.totalBytes / kBytesPerMegabyte),
            QString::fromLatin1(Str::FreeRam).arg(memory.availableBytes / kBytesPerMegabyte),
            QString::fromLatin1(Str::MemoryUtilization).arg(memory.loadPercent)};
}

QListWidget* CAboutDlg::MemoryList() const {
    return m_ui->m_listMemory;
}
