#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QPixmap>
#include <QStringList>
#include <vector>

#include "reminder/poll.h"

// The rows of the task list as the last poll left them: task text with its status image,
// status and recurrence. Each row carries the task it shows, for the commands.
class CTaskListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kTaskColumn = 0, kStatusColumn = 1, kRecurrenceColumn = 2, kColumnCount = 3 };

    // images: the status images in the order the rows' image numbers count them.
    explicit CTaskListModel(QList<QPixmap> images, QObject* parent = nullptr);

    // Takes the rows of a finished poll. Rows equal to the shown ones change nothing at all,
    // so an idle poll costs the view no relayout; otherwise the model is reset once.
    // Returns true when the rows were replaced.
    bool SetRows(std::vector<TaskRow> rows);
    const std::vector<TaskRow>& Rows() const { return m_rows; }

    // Replaces one column header's text; it stays until it is set again.
    void SetColumnText(int column, const QString& text);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QList<QPixmap> m_images;
    std::vector<TaskRow> m_rows;
    QStringList m_headers;
};
