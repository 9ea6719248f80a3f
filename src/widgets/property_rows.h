#pragma once
// The rows of the property grid as a Qt table model: row r shows item r of the selected node,
// column 0 its label and column 1 its value. Each row keeps a copy of what its item showed when
// the node wrote it in (label, value, help, editor kind, choices), so that painting never reads
// an item the configuration has since dropped; the item itself only names the row to whoever
// commits an edit, through the commit handler.

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "model/item_list.h"

class CPropertyRows : public QAbstractTableModel, public CGridSink {
    Q_OBJECT
public:
    // The grid always offers at least this many rows; a longer item list adds rows.
    static constexpr int kMinimumRows = 40;

    struct Row {
        CParamItem* item = nullptr;
        QString label;
        QString value;
        QString help;
        int state = STATE_SHOW_ONLY;
        int enable = 0;
        QStringList choices;

        bool OffersEditor() const { return item && enable != 0 && state >= STATE_TEXT && state <= STATE_LIST_TEXT; }
    };

    // Checks and stores a value typed or picked in a row's editor; true when it was taken. The
    // handler shows its own refusal and writes the rows again after a change.
    using CommitHandler = std::function<bool(int row, CParamItem* item, const QString& text)>;

    explicit CPropertyRows(QObject* parent = nullptr);

    // Back to the empty rows: no items, every value cell white.
    void Clear();
    // Writes an item into a row (adding rows past the end); the row keeps the item.
    void ShowItem(int row, CParamItem& item) override;
    CParamItem* ItemAtRow(int row) const;
    // The row as it was written; an empty row past the items.
    const Row& RowAt(int row) const;

    // Items whose values no edit would accept, with those values: their cells are red while the
    // item keeps that value.
    void MarkFaultyValues(std::map<const CParamItem*, std::string> marks);
    bool ShowsFaultyValue(int row) const;

    void SetCommitHandler(CommitHandler handler) { m_commit = std::move(handler); }
    // Hands a row's new text to the commit handler; false when it was refused.
    bool Commit(int row, const QString& text);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

private:
    std::vector<Row> m_rows;
    std::map<const CParamItem*, std::string> m_faulty;
    CommitHandler m_commit;
};
