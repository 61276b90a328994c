#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QList>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>

#include "tasks/taskcommands.h"

class CTaskTable;

// The rows of the task list as the last poll left them: task text with its status image,
// status and recurrence. The model shows the poll's own table and makes a row's texts only
// when the view asks for them, so a poll of many tasks costs the list nothing until it is
// drawn. Each row knows the task it shows, for the commands.
class CTaskListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { kTaskColumn = 0, kStatusColumn = 1, kRecurrenceColumn = 2, kColumnCount = 3 };

    // images: the status images in the order the rows' image numbers count them.
    explicit CTaskListModel(QList<QIcon> images, QObject* parent = nullptr);
    ~CTaskListModel() override;

    // Takes the rows of a poll: the shown table again, or another one. Rows that have not
    // changed since they were last taken change nothing at all, so an idle poll costs the view
    // no relayout; otherwise the model is reset once. Returns true when it was reset.
    bool SetTable(std::shared_ptr<const CTaskTable> table);

    // The task a row shows; nothing for a row the list does not have.
    std::optional<TaskRef> TaskAt(int row) const;

    // Replaces one column header's text; it stays until it is set again.
    void SetColumnText(int column, const QString& text);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QList<QIcon> m_images;
    std::shared_ptr<const CTaskTable> m_pTable;  // never null
    std::uint64_t m_nGeneration = 0;             // of the table when it was last taken
    QStringList m_headers;
};
