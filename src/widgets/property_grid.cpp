#include "widgets/property_grid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

QString Text(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QFont GridFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(11.25);
    return font;
}

} // namespace

CPropertyGrid::CPropertyGrid(QWidget* parent) : QTableWidget(kGridRows, 2, parent), m_rowItems(kGridRows, nullptr)
{
    setFont(GridFont());
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // The label column keeps its width (half the grid, or what the user dragged it to); the
    // value column takes the rest.
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setMinimumSectionSize(24);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::StrongFocus);
    setTabKeyNavigation(false);
    viewport()->setMouseTracking(true);
    setWordWrap(false);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);

    m_textEditor = new QLineEdit(viewport());
    m_textEditor->setObjectName(QStringLiteral("gridTextEditor"));
    m_textEditor->setFont(font());
    m_textEditor->hide();
    m_textEditor->installEventFilter(this);

    m_choiceEditor = new QComboBox(viewport());
    m_choiceEditor->setObjectName(QStringLiteral("gridChoiceEditor"));
    m_choiceEditor->setFont(font());
    m_choiceEditor->setInsertPolicy(QComboBox::NoInsert);
    m_choiceEditor->setMaxVisibleItems(12);
    m_choiceEditor->hide();
    m_choiceEditor->installEventFilter(this);
    m_choiceEditor->view()->installEventFilter(this);

    connect(m_choiceEditor, &QComboBox::activated, this, [this](int index) {
        if (m_open == Editor::Choice)
            CommitChoice(index);
    });
    connect(this, &QTableWidget::cellClicked, this, &CPropertyGrid::OnCellClicked);
    connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int, int previousRow, int) {
        if (row != previousRow)
            if (CParamItem* item = ItemAtRow(row))
                emit currentRowEntered(row, item);
    });
    ClearGrid();
}

QColor CPropertyGrid::FromColourRef(std::uint32_t colour)
{
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

QTableWidgetItem* CPropertyGrid::Cell(int row, int column)
{
    QTableWidgetItem* cell = item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsEnabled);
        cell->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setItem(row, column, cell);
    }
    return cell;
}

void CPropertyGrid::ClearGrid()
{
    CloseEditor();
    setRowCount(kGridRows);
    m_rowItems.assign(kGridRows, nullptr);
    for (int row = 0; row < kGridRows; ++row) {
        Cell(row, 0)->setText(QString());
        QTableWidgetItem* value = Cell(row, 1);
        value->setText(QString());
        value->setBackground(Qt::white);
    }
}

void CPropertyGrid::ShowItem(int row, CParamItem& item)
{
    if (row < 0)
        return;
    if (row >= rowCount()) {
        setRowCount(row + 1);
        m_rowItems.resize(static_cast<std::size_t>(row) + 1, nullptr);
    }
    m_rowItems[static_cast<std::size_t>(row)] = &item;
    Cell(row, 0)->setText(Text(item.label));
    Cell(row, 1)->setText(Text(item.value));
    RestyleRow(row);
}

CParamItem* CPropertyGrid::ItemAtRow(int row) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_rowItems.size())
        return nullptr;
    return m_rowItems[static_cast<std::size_t>(row)];
}

void CPropertyGrid::SetValueText(int row, const QString& text)
{
    if (row >= 0 && row < rowCount()) {
        Cell(row, 1)->setText(text);
        RestyleRow(row);
    }
}

void CPropertyGrid::RestyleRow(int row)
{
    const CParamItem* item = ItemAtRow(row);
    if (!item)
        return;
    Cell(row, 1)->setBackground(FromColourRef(ShowsFaultyValue(row) ? kColourConflict : item->ValueBackColour()));
}

void CPropertyGrid::MarkFaultyValues(std::map<const CParamItem*, std::string> marks)
{
    m_faultyValues = std::move(marks);
    for (int row = 0; row < rowCount(); ++row)
        RestyleRow(row);
}

bool CPropertyGrid::ShowsFaultyValue(int row) const
{
    const CParamItem* item = ItemAtRow(row);
    const auto mark = item ? m_faultyValues.find(item) : m_faultyValues.end();
    return mark != m_faultyValues.end() && mark->second == item->value;
}

void CPropertyGrid::OnCellClicked(int row, int column)
{
    // A click elsewhere has already taken the focus from an open editor; close what is left.
    if (m_open == Editor::Choice)
        CommitChoice(-1);
    else if (m_open == Editor::Text)
        CommitText();

    CParamItem* item = ItemAtRow(row);
    if (row < 0 || column < 0 || !item)
        return;
    if (column == 1)
        OpenEditor(row);
    else
        emit rowClicked(row, column, item);
}

void CPropertyGrid::PlaceEditor()
{
    QWidget* editor = m_open == Editor::Text ? static_cast<QWidget*>(m_textEditor)
                    : m_open == Editor::Choice ? static_cast<QWidget*>(m_choiceEditor)
                                               : nullptr;
    if (!editor || m_editRow < 0)
        return;
    editor->setGeometry(visualRect(model()->index(m_editRow, 1)));
}

void CPropertyGrid::OpenTextEditor(int row, CParamItem& item)
{
    m_open = Editor::Text;
    m_editRow = row;
    m_editItem = &item;
    PlaceEditor();
    m_textEditor->setText(Text(item.value));
    m_textEditor->show();
    m_textEditor->setFocus(Qt::MouseFocusReason);
    m_textEditor->selectAll();
}

void CPropertyGrid::OpenChoiceEditor(int row, CParamItem& item)
{
    m_open = Editor::Choice;
    m_editRow = row;
    m_editItem = &item;
    m_choiceEditor->clear();
    m_choiceEditor->setEditable(item.state == STATE_LIST_TEXT);
    if (QLineEdit* edit = m_choiceEditor->lineEdit())
        edit->installEventFilter(this);
    for (const std::string& choice : item.choices)
        m_choiceEditor->addItem(Text(choice));
    m_choiceEditor->setCurrentIndex(item.FindValueInChoices());
    if (item.state == STATE_LIST_TEXT)
        m_choiceEditor->setEditText(Text(item.value));
    PlaceEditor();
    m_choiceEditor->show();
    m_choiceEditor->setFocus(Qt::MouseFocusReason);
    m_choiceEditor->showPopup();
}

void CPropertyGrid::CloseEditor()
{
    const Editor was = m_open;
    m_open = Editor::None;
    m_editRow = -1;
    m_editItem = nullptr;
    if (was == Editor::None)
        return;
    QWidget* editor = was == Editor::Text ? static_cast<QWidget*>(m_textEditor) : m_choiceEditor;
    // Keep the focus in the grid instead of letting it wander to the next widget of the window.
    if (editor->hasFocus() || editor->isAncestorOf(QApplication::focusWidget()))
        setFocus(Qt::OtherFocusReason);
    if (was == Editor::Choice)
        m_choiceEditor->hidePopup();
    editor->hide();
    if (was == Editor::Text)
        m_textEditor->clear();
    else
        m_choiceEditor->clear();
}

void CPropertyGrid::CommitText()
{
    if (m_open != Editor::Text)
        return;
    const int row = m_editRow;
    CParamItem* item = m_editItem;
    const QString text = m_textEditor->text();
    CloseEditor();
    // The text belongs to the item the editor was opened for; a row that now shows another
    // item drops it.
    if (item && ItemAtRow(row) == item)
        emit textCommitted(row, item, text);
}

void CPropertyGrid::CommitChoice(int pickedIndex)
{
    if (m_open != Editor::Choice)
        return;
    const int row = m_editRow;
    CParamItem* item = m_editItem;
    const bool typed = m_choiceEditor->isEditable();
    const QString text = pickedIndex >= 0 ? m_choiceEditor->itemText(pickedIndex) : m_choiceEditor->currentText();
    CloseEditor();
    if (!item)
        return;
    if (pickedIndex >= 0 || typed)
        emit choiceCommitted(row, item, text);
    else
        emit choiceDismissed(row, item);
}

void CPropertyGrid::FinishEditing()
{
    if (m_open == Editor::Text)
        CommitText();
    else if (m_open == Editor::Choice)
        CommitChoice(-1);
}

bool CPropertyGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && HandleEditorKey(watched, static_cast<QKeyEvent*>(event)))
        return true;
    const bool textEditor = m_textEditor && watched == m_textEditor;
    const bool choiceEditor = m_choiceEditor && (watched == m_choiceEditor || watched == m_choiceEditor->lineEdit());
    if (!textEditor && !choiceEditor)
        return QTableWidget::eventFilter(watched, event);

    if (event->type() == QEvent::FocusOut) {
        const auto* focus = static_cast<QFocusEvent*>(event);
        // Opening the drop-down list takes the focus for a moment; that is no commit.
        if (focus->reason() != Qt::PopupFocusReason) {
            // The focus may also move into the drop-down list's own window, or stay in the combo box.
            QWidget* next = QApplication::focusWidget();
            const bool stillInside = choiceEditor && next &&
                (next == m_choiceEditor || m_choiceEditor->isAncestorOf(next) ||
                 next->window() == m_choiceEditor->view()->window());
            if (!stillInside) {
                if (textEditor)
                    CommitText();
                else
                    CommitChoice(-1);
            }
        }
    }
    return QTableWidget::eventFilter(watched, event);
}

void CPropertyGrid::scrollContentsBy(int dx, int dy)
{
    QTableWidget::scrollContentsBy(dx, dy);
    PlaceEditor();
}

void CPropertyGrid::resizeEvent(QResizeEvent* event)
{
    QTableWidget::resizeEvent(event);
    FitColumns();
    PlaceEditor();
}
