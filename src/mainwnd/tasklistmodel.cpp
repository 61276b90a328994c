#include "mainwnd/tasklistmodel.h"

#include <utility>

#include "reminder/tasktable.h"
#include "res/strings.h"

namespace {

// Texts from the task file are in the system's 8-bit encoding.
QString FromFileText(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

CTaskListModel::CTaskListModel(QList<QIcon> images, QObject* parent)
    : QAbstractTableModel(parent),
      m_images(std::move(images)),
      m_pTable(std::make_shared<const CTaskTable>()),
      m_headers({QString::fromLatin1(Str::ColumnTask), QString::fromLatin1(Str::ColumnStatus),
                 QString::fromLatin1(Str::ColumnRecurrence)}) {}

CTaskListModel::~CTaskListModel() = default;

void CTaskListModel::SetColumnText(int column, const QString& text) {
    if (column < 0 || column >= m_headers.size() || m_headers[column] == text) {
        return;
    }
    m_headers[column] = text;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

bool CTaskListModel::SetTable(std::shared_ptr<const CTaskTable> table) {
    if (!table) {
        table = std::make_shared<const CTaskTable>();
    }
    const bool bSameRows = table == m_pTable ? table->Generation() == m_nGeneration
                                             : table->empty() && m_pTable->empty();
    if (bSameRows) {
        m_pTable = std::move(table);
        return false;
    }
    beginResetModel();
    m_pTable = std::move(table);
    m_nGeneration = m_pTable->Generation();
    endResetModel();
    return true;
}

std::optional<TaskRef> CTaskListModel::TaskAt(int row) const {
    if (row < 0 || row >= rowCount()) {
        return std::nullopt;
    }
    return m_pTable->Task(static_cast<std::size_t>(row));
}

int CTaskListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_pTable->size());
}

int CTaskListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CTaskListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
            case kTaskColumn:
                return FromFileText(m_pTable->ListText(row));
            case kStatusColumn:
                return FromFileText(m_pTable->StatusText(row));
            case kRecurrenceColumn:
                return FromFileText(m_pTable->RecurrenceText(row));
            default:
                return {};
        }
    }
    if (role == Qt::DecorationRole && index.column() == kTaskColumn) {
        // An image number the strip does not hold shows no image rather than a wrong one.
        const int image = m_pTable->Image(row);
        if (image >= 0 && image < m_images.size()) {
            return m_images[image];
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
