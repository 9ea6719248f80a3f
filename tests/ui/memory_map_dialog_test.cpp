// The "Conflict Detect" dialog on configurations with hand-placed commands.

#include <QTest>
#include <QTreeWidget>

#include "dialog_test_config.h"
#include "mapping/usage_map.h"
#include "ui/memory_map_dialog.h"
#include "ui/ui_text.h"
#include "widgets/memory_grid.h"

using namespace dialog_test;

namespace {

const QColor kGrey = ColourFromRef(kColourLegal);
const QColor kRed = ColourFromRef(kColourConflict);
const QColor kYellow = ColourFromRef(kColourOverflow);
const QColor kBlue = ColourFromRef(kColourSelected);
const QColor kWhite = ColourFromRef(kColourUnused);

// Positions of the commands of MakeFaultyConfig in its slave node.
enum { CMD_WIDE = 0, CMD_SHARING = 1, CMD_PAST_END = 2, CMD_OUTPUT = 3, CMD_COILS = 4 };

// Input: two register commands sharing bytes 2-3, coils from 00F2H running 8 bits past the
// area's end, inputs at 0010H bit 3; output: two registers at 4004H.
std::unique_ptr<CDeviceConfig> MakeFaultyConfig()
{
    auto root = std::make_unique<CDeviceConfig>();
    CSlaveNode& slave = SlaveOf(*root);
    AddPlacedCommand(slave, 3, "0000H", 0, 2);    // bits 0-31
    AddPlacedCommand(slave, 4, "0002H", 0, 1);    // bits 16-31: shared with the first
    AddPlacedCommand(slave, 1, "00F2H", 0, 24);   // bits 1936-1959: 1952 on lie past the end
    AddPlacedCommand(slave, 16, "4004H", 0, 2);   // output bits 32-63
    AddPlacedCommand(slave, 2, "0010h", 3, 5);    // bits 131-135
    return root;
}

QTreeWidgetItem* FindItem(QTreeWidget* tree, const std::function<bool(QTreeWidgetItem*)>& match)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if (match(*it))
            return *it;
    return nullptr;
}

QTreeWidgetItem* CommandItem(QTreeWidget* tree, int position)
{
    int seen = -1;
    // Commands are the items two levels below "Subnet", in list order.
    return FindItem(tree, [&](QTreeWidgetItem* item) {
        return item->parent() && item->parent()->parent() && ++seen == position;
    });
}

QStringList TreeTexts(QTreeWidget* tree)
{
    QStringList texts;
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        int depth = 0;
        for (QTreeWidgetItem* p = (*it)->parent(); p; p = p->parent())
            ++depth;
        texts << QString(depth * 2, QLatin1Char(' ')) + (*it)->text(0);
    }
    return texts;
}

// The bits of a grid painted in a colour.
QList<int> BitsIn(const CMemoryGrid* grid, const QColor& colour)
{
    QList<int> bits;
    for (int bit = 0; bit < CMemoryGrid::kBitCount; ++bit)
        if (grid->BitColour(bit) == colour)
            bits << bit;
    return bits;
}

QList<int> Range(int first, int last)
{
    QList<int> bits;
    for (int bit = first; bit <= last; ++bit)
        bits << bit;
    return bits;
}

} // namespace

class MemoryMapDialogTest : public QObject {
    Q_OBJECT
private slots:
    void ClassifiesEveryUsedBit()
    {
        auto root = MakeFaultyConfig();
        CConflictDlg dialog(*root);
        const CMemoryGrid* input = dialog.Grid(AREA_INPUT);
        const CMemoryGrid* output = dialog.Grid(AREA_OUTPUT);

        QCOMPARE(BitsIn(input, kRed), Range(16, 31));
        QCOMPARE(BitsIn(input, kYellow), Range(1952, 1959));
        QCOMPARE(BitsIn(input, kGrey), Range(0, 15) + Range(131, 135) + Range(1936, 1951));
        QCOMPARE(BitsIn(output, kGrey), Range(32, 63));
        QVERIFY(BitsIn(input, kBlue).isEmpty());
        QCOMPARE(BitsIn(output, kWhite).size(), CMemoryGrid::kBitCount - 32);

        // Bit 0 of a byte is its leftmost column: 0010H bit 3 lies in row 4, columns 3 to 7.
        QCOMPARE(input->item(4, 2)->background().color(), kWhite);
        QCOMPARE(input->item(4, 3)->background().color(), kGrey);
        QCOMPARE(input->item(4, 7)->background().color(), kGrey);
        QCOMPARE(input->item(4, 8)->background().color(), kWhite);
        // Output 4004H is the start of the output grid's second row.
        QCOMPARE(output->item(1, 0)->background().color(), kGrey);
        QCOMPARE(output->item(0, 31)->background().color(), kWhite);
    }

    void ConflictAndOverflowAtTheAreaEnd()
    {
        // Bit 1951 used twice is a conflict, bit 1952 used twice an overflow.
        CDeviceConfig root;
        CSlaveNode& slave = SlaveOf(root);
        AddPlacedCommand(slave, 1, "00F3H", 7, 2);
        AddPlacedCommand(slave, 2, "00F3H", 7, 2);
        CConflictDlg dialog(root);
        QCOMPARE(BitsIn(dialog.Grid(AREA_INPUT), kRed), QList<int>{1951});
        QCOMPARE(BitsIn(dialog.Grid(AREA_INPUT), kYellow), QList<int>{1952});
    }

    void DataFarPastTheEndAreShownAtTheLastCountedBit()
    {
        CDeviceConfig root;
        AddPlacedCommand(SlaveOf(root), 3, "00F0H", 0, 10);   // bits 1920-2079
        CConflictDlg dialog(root);
        CMemoryGrid* input = dialog.Grid(AREA_INPUT);
        QCOMPARE(BitsIn(input, kGrey), Range(1920, 1951));
        QCOMPARE(BitsIn(input, kYellow), Range(1952, 1999));

        dialog.Tree()->setCurrentItem(CommandItem(dialog.Tree(), 0));
        QCOMPARE(BitsIn(input, kBlue), Range(1920, 1999));
    }

    void AConfigurationWithoutCommandsIsAllWhite()
    {
        CDeviceConfig root;
        CConflictDlg dialog(root);
        for (int area : {AREA_INPUT, AREA_OUTPUT}) {
            QVERIFY(dialog.Cells(area).empty());
            QCOMPARE(BitsIn(dialog.Grid(area), kWhite).size(), CMemoryGrid::kBitCount);
        }
    }

    void SelectingACommandPaintsItsBitsBlue()
    {
        auto root = MakeFaultyConfig();
        const std::string before = ModelText(*root);
        CConflictDlg dialog(*root);
        QTreeWidget* tree = dialog.Tree();
        CMemoryGrid* input = dialog.Grid(AREA_INPUT);
        CMemoryGrid* output = dialog.Grid(AREA_OUTPUT);

        // The sharing command covers only the red bits: they turn blue, its partner stays grey.
        tree->setCurrentItem(CommandItem(tree, CMD_SHARING));
        QCOMPARE(BitsIn(input, kBlue), Range(16, 31));
        QVERIFY(BitsIn(input, kRed).isEmpty());
        QCOMPARE(BitsIn(input, kGrey).mid(0, 16), Range(0, 15));

        // Another command: the first selection returns to its colours.
        tree->setCurrentItem(CommandItem(tree, CMD_WIDE));
        QCOMPARE(BitsIn(input, kBlue), Range(0, 31));

        tree->setCurrentItem(CommandItem(tree, CMD_OUTPUT));
        QCOMPARE(BitsIn(output, kBlue), Range(32, 63));
        QCOMPARE(BitsIn(input, kRed), Range(16, 31));
        QVERIFY(BitsIn(input, kBlue).isEmpty());

        tree->setCurrentItem(CommandItem(tree, CMD_PAST_END));
        QCOMPARE(BitsIn(input, kBlue), Range(1936, 1959));
        QVERIFY(BitsIn(input, kYellow).isEmpty());
        QCOMPARE(dialog.SelectedCount(), 24);

        // A node that is not a command clears the selection.
        tree->setCurrentItem(FindItem(tree, [](QTreeWidgetItem* item) { return item->text(0) == LangText(18); }));
        QCOMPARE(dialog.SelectedCount(), 0);
        QVERIFY(BitsIn(input, kBlue).isEmpty());
        QCOMPARE(BitsIn(input, kYellow), Range(1952, 1959));
        QCOMPARE(BitsIn(output, kGrey), Range(32, 63));

        QVERIFY2(ModelText(*root) == before, "the dialog only reads the configuration");
    }

    void CommandsOfAFurtherSlaveNodeHighlightNothing()
    {
        // Only the first slave node is counted and downloaded; a second one (which a file can
        // bring) has no bits, even where its data would lie on used bits.
        auto root = MakeFaultyConfig();
        CSlaveNode* second = root->Subnet().AddNode();
        QVERIFY(second);
        AddPlacedCommand(*second, 3, "0000H", 0, 2);
        CConflictDlg dialog(*root);
        QCOMPARE(BitsIn(dialog.Grid(AREA_INPUT), kRed), Range(16, 31));

        QTreeWidgetItem* foreign = CommandItem(dialog.Tree(), 5);
        QVERIFY(foreign);
        QCOMPARE(foreign->parent()->parent()->text(0), LangText(18));
        QVERIFY(foreign->parent() != CommandItem(dialog.Tree(), 0)->parent());
        dialog.Tree()->setCurrentItem(foreign);
        QCOMPARE(dialog.SelectedCount(), 0);
        QVERIFY(BitsIn(dialog.Grid(AREA_INPUT), kBlue).isEmpty());
    }

    void TreeAndHeadersNameWhatIsShown()
    {
        auto root = MakeFaultyConfig();
        CConflictDlg dialog(*root);
        QCOMPARE(dialog.windowTitle(), QString("Conflict Detect"));
        // Node names and the command names of function codes 3, 4, 1, 16 and 2.
        QCOMPARE(TreeTexts(dialog.Tree()), (QStringList{
                                                LangText(17),
                                                LangText(18),
                                                "  Node(17)",
                                                "    " + LangText(35),
                                                "    " + LangText(36),
                                                "    " + LangText(33),
                                                "    " + LangText(46),
                                                "    " + LangText(34),
                                            }));
        for (QTreeWidgetItemIterator it(dialog.Tree()); *it; ++it)
            QVERIFY((*it)->childCount() == 0 || (*it)->isExpanded());

        const CMemoryGrid* input = dialog.Grid(AREA_INPUT);
        const CMemoryGrid* output = dialog.Grid(AREA_OUTPUT);
        QCOMPARE(input->rowCount(), 99);
        QCOMPARE(input->columnCount(), 32);
        QCOMPARE(input->RowLabel(0), QString("0000"));
        QCOMPARE(input->RowLabel(98), QString("0188"));
        QCOMPARE(output->RowLabel(1), QString("4004"));
        QCOMPARE(output->RowLabel(98), QString("4188"));
        QCOMPARE(input->model()->headerData(98, Qt::Vertical).toString(), QString("0188"));
        QStringList columns;
        for (int c = 0; c < 32; ++c)
            columns << input->model()->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(columns.join(','), QString("00,,,,,,,,01,,,,,,,,02,,,,,,,,03,,,,,,,"));
    }
};

QTEST_MAIN(MemoryMapDialogTest)
#include "memory_map_dialog_test.moc"
