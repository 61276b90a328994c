#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "reminder/poll.h"
#include "reminder/taskpoller.h"
#include "reminder/tasktable.h"
#include "tasks/taskfile.h"
#include "tasks/taskfilefixture.h"

// A row as the list shows it: the task column's text, the status's name and image, the
// recurrence's name; and the task the row's commands act on.
struct ShownRow {
    std::string text;
    std::string statusText;
    int image = 0;
    std::string recurrenceText;
    TaskRef task;

    static ShownRow Of(const CTaskTable& table, std::size_t row) {
        return {table.ListText(row), table.StatusText(row), table.Image(row),
                table.RecurrenceText(row), table.Task(row)};
    }
    bool operator==(const ShownRow&) const = default;
};

// A host that answers reminders from a script and records everything the poll asks of it.
class ScriptedHost : public IPollHost {
public:
    CTime m_now;
    std::deque<ReminderAnswer> m_answers;
    std::vector<ReminderRequest> m_asked;
    std::vector<int> m_details;
    std::vector<ShownRow> m_rows;
    std::vector<std::size_t> m_rowCounts;  // the rows of each table shown
    std::vector<std::pair<std::string, std::string>> m_errors;
    std::function<void(const ReminderRequest&)> m_onAsk;
    std::function<void(const TaskRef&)> m_onDetails;

    CTime Now() override { return m_now; }

    ReminderAnswer AskReminder(const ReminderRequest& request) override {
        m_asked.push_back(request);
        if (m_onAsk) {
            m_onAsk(request);
        }
        if (m_answers.empty()) {
            ADD_FAILURE() << "unexpected reminder for " << request.title;
            return ReminderAnswer::None;
        }
        const ReminderAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    void ShowTaskDetails(const TaskRef& task) override {
        m_details.push_back(task.nRecord);
        if (m_onDetails) {
            m_onDetails(task);
        }
    }

    void ShowRows(std::shared_ptr<const CTaskTable> rows) override {
        m_rowCounts.push_back(rows->size());
        for (std::size_t row = 0; row < rows->size(); ++row) {
            m_rows.push_back(ShownRow::Of(*rows, row));
        }
    }

    void ShowError(std::string_view text, std::string_view caption) override {
        m_errors.emplace_back(text, caption);
    }

    std::vector<std::string> AskedTitles() const {
        std::vector<std::string> titles;
        for (const ReminderRequest& r : m_asked) {
            titles.push_back(r.title);
        }
        return titles;
    }

    bool Untouched() const {
        return m_asked.empty() && m_details.empty() && m_rows.empty() && m_rowCounts.empty() &&
               m_errors.empty();
    }
};

// One poll by a poller of its own, as a window's first poll is: nothing is known from before.
inline int PollOnce(const CTaskFile& file, IPollHost& host) {
    CTaskPoller poller(file);
    return poller.Poll(host);
}
