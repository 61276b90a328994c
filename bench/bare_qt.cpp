// The yardstick for the start-up and idle benchmark: a bare Qt Widgets program with what the
// main window has at its simplest - a dialog with a three-column table view, a tray icon and
// a one-second timer updating a label.
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QStandardItemModel>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QDialog dialog;
    dialog.setWindowTitle("Bare Qt");
    auto* layout = new QVBoxLayout(&dialog);
    auto* clock = new QLabel(&dialog);
    layout->addWidget(clock);
    QStandardItemModel model(0, 3);
    model.setHorizontalHeaderLabels({"Task", "Status", "Recurrence"});
    auto* view = new QTableView(&dialog);
    view->setModel(&model);
    view->verticalHeader()->hide();
    layout->addWidget(view);

    QSystemTrayIcon tray(dialog.style()->standardIcon(QStyle::SP_ComputerIcon));
    tray.show();

    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, clock,
                     [clock] { clock->setText(QDateTime::currentDateTime().toString()); });
    timer.start(1000);
    dialog.resize(600, 400);
    dialog.show();
    return app.exec();
}
