#include "tst_list_fixture.h"

#include "data/note_tables.h"
#include "data/note_views.h"
#include "ui/list_scale.h"

#include <QDate>

namespace qly::test {

namespace {
const QDate kToday(2026, 12, 11);
}

NoteList::NoteList(int notes, int pageSize, MainTab tab)
{
    m_thread = std::make_unique<Thread>(QStringLiteral("main"));
    m_notes = std::make_unique<store::Table>(notesTableDef());
    m_table = &m_notes->on(*m_thread);
    if (m_table->open(store::Access::ReadWrite).code() != store::FileNotFound ||
        !m_table->create() || !m_table->open(store::Access::ReadWrite) || !m_table->begin())
        return;
    for (int number = 0; number < notes; ++number) {
        const DayCount reminder = number % 4 == 0 ? 0 : fromQDate(kToday.addDays(number % 7 - 3));
        const QString done = number % 3 == 0 ? QStringLiteral("Y") : QStringLiteral("N");
        if (!add(topicOf(number), fromQDate(kToday.addDays(-(number % 50))), reminder, done))
            return;
    }
    if (!m_table->commit())
        return;

    const TabOrder& order = mainTabOrders()[static_cast<size_t>(tab)];
    m_view = std::make_unique<expr::View>(*m_table, order.key);
    m_view->setFilters({QString::fromLatin1(order.filter)});
    if (m_view->setAppendedOrder(QString::fromLatin1(order.appendedOrder)) ||
        m_view->open(fromQDate(kToday)))
        return;

    std::vector<ListColumn> columns{
        {QStringLiteral("Topic"), 80, Qt::AlignLeft | Qt::AlignVCenter,
         Qt::AlignLeft | Qt::AlignVCenter,
         [](const Record& record) { return record.text(NoteRecord::Topic); }},
        {QStringLiteral("NoteDate"),
         39,
         Qt::AlignRight | Qt::AlignVCenter,
         Qt::AlignHCenter | Qt::AlignVCenter,
         [](const Record& record) {
             return toQDate(record.date(NoteRecord::NoteDate)).toString(Qt::ISODate);
         },
         {},
         [](const Record& record) { return record.text(NoteRecord::MainMemo); },
         2},
    };
    m_model = std::make_unique<ListModel>(*m_view, std::move(columns));
    m_model->setScale(textListScale(NoteRecord::Topic, 0));
    m_tester = std::make_unique<QAbstractItemModelTester>(
        m_model.get(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QObject::connect(m_model.get(), &QAbstractItemModel::rowsInserted, m_model.get(),
                     [this] { m_mostHeld = std::max(m_mostHeld, m_model->rowCount()); });
    QObject::connect(m_model.get(), &QAbstractItemModel::modelReset, m_model.get(),
                     [this] { m_mostHeld = std::max(m_mostHeld, m_model->rowCount()); });
    m_valid = m_model->setPageSize(pageSize).ok();
}

NoteList::~NoteList()
{
    m_tester.reset();
    m_model.reset();
    m_view.reset();
    m_table = nullptr;
    m_notes.reset();
    m_thread.reset();
}

QString NoteList::topicOf(int number)
{
    // Numbers 0 to 299 spread over "aa" to "zz".
    const int step = number * 26 * 26 / 300;
    return QStringLiteral("%1%2 note %3")
        .arg(QChar(u'a' + std::min(step / 26, 25)))
        .arg(QChar(u'a' + step % 26))
        .arg(number, 3, 10, QLatin1Char('0'));
}

int NoteList::numberOf(int row) const
{
    const store::Row* entry = m_model->entry(row);
    if (!entry)
        return -1;
    const QString topic = entry->record.text(NoteRecord::Topic);
    bool ok = false;
    const int number = topic.right(3).toInt(&ok);
    return ok && topic.contains(QLatin1String(" note ")) ? number : -1;
}

bool NoteList::rowsAreConsecutive() const
{
    for (int row = 1; row < m_model->rowCount(); ++row) {
        if (numberOf(row) != numberOf(row - 1) + 1)
            return false;
    }
    return true;
}

qint64 NoteList::add(const QString& topic, DayCount noteDate, DayCount reminderDate,
                     const QString& done)
{
    m_table->clearBuffer();
    Record& record = m_table->buffer();
    record.setText(NoteRecord::Topic, topic);
    record.setDate(NoteRecord::NoteDate, noteDate);
    record.setDate(NoteRecord::ReminderDate, reminderDate);
    record.setText(NoteRecord::Done, done);
    record.setText(NoteRecord::MainMemo, QStringLiteral("memo of ") + topic);
    if (!m_table->insert())
        return 0;
    return m_table->currentRow();
}

} // namespace qly::test
