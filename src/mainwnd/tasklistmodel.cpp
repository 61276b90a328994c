#include "mainwnd/tasklistmodel.h"

#include <utility>

#include "res/strings.h"
#include "tasks/displaytext.h"

namespace {

// Texts from the task file are in the system's 8-bit encoding.
QString FromFileText(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CTaskListModel::CTaskListModel(QList<QPixmap> images, QObject* parent)
    : QAbstractTableModel(parent),
      m_images(std::move(images)),
      m_headers({QString::fromLatin1(Str::ColumnTask), QString::fromLatin1(Str::ColumnStatus),
                 QString::fromLatin1(Str::ColumnRecurrence)}) {}

void CTaskListModel::SetColumnText(int column, const QString& text) {
    if (column < 0 || column >= m_headers.size() || m_headers[column] == text) {
        return;
    }
    m_headers[column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

bool CTaskListModel::SetRows(std::vector<TaskRow> rows) {
    if (rows == m_rows) {
        return false;
    }
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
    return true;
}

int CTaskListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CTaskListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CTaskListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const TaskRow& row = m_rows[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
            case kTaskColumn:
                return FromFileText(DisplayText(row.text));  // an over-long title in part
            case kStatusColumn:
                return FromFileText(row.statusText);
            case kRecurrenceColumn:
                return FromFileText(row.recurrenceText);
            default:
                return {};
        }
    }
    if (role == Qt::DecorationRole && index.column() == kTaskColumn) {
        // An image number the strip does not hold shows no image rather than a wrong one.
        if (row.image >= 0 && row.image < m_images.size()) {
            return m_images[row.image];
        }
    }
    return {};
}

QVariant CTaskListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (section < 0 || section >= m_headers.size()) {
        return {};
    }
    return m_headers[section];
}

Qt::ItemFlags CTaskListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    // Rows can be selected but never edited in place.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}
