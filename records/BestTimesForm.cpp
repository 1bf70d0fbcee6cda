#include "records/BestTimesForm.h"

#include "base/MessageBox.h"
#include "controls/CentreOnScreen.h"
#include "controls/Fonts.h"
#include "records/BestRecords.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSet>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <climits>
#include <initializer_list>
#include <iterator>

namespace
{

// Small enough for a 640 x 480 screen with the window's frame.
constexpr int FormWidth = 480;
constexpr int FormHeight = 400;

// The value a column sorts by, where its text would sort wrongly.
constexpr int SortRole = Qt::UserRole;
// Where a row keeps its board.
constexpr int ColsRole = Qt::UserRole + 1;
constexpr int RowsRole = Qt::UserRole + 2;
constexpr int MinesRole = Qt::UserRole + 3;
constexpr int NoGuessingRole = Qt::UserRole + 4;

constexpr const char *StatCaptions[] = {
    "Played:",         "Won:",         "Lost:", "Abandoned:", "Won in %:", "Current streak:",
    "Longest streak:", "Average time:"};
constexpr const char *StatNames[] = {"StatPlayed",        "StatWon",     "StatLost",
                                     "StatAbandoned",     "StatPercent", "StatCurrentStreak",
                                     "StatLongestStreak", "StatAverage"};
constexpr int StatCount = int(std::size(StatCaptions));

class TSortedItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;

    bool operator<(const QTreeWidgetItem &other) const override
    {
        const int column = treeWidget() ? treeWidget()->sortColumn() : 0;
        const QVariant mine = data(column, SortRole);
        const QVariant theirs = other.data(column, SortRole);
        if (mine.isValid() && theirs.isValid())
            return mine.toLongLong() < theirs.toLongLong();
        return text(column).localeAwareCompare(other.text(column)) < 0;
    }
};

THistoryBoard BoardOf(const QTreeWidgetItem &item)
{
    return {item.data(0, ColsRole).toInt(), item.data(0, RowsRole).toInt(),
            item.data(0, MinesRole).toInt(), item.data(0, NoGuessingRole).toBool()};
}

QTreeWidget *MakeList(QWidget *parent, const char *name,
                      std::initializer_list<const char *> captions)
{
    QStringList headers;
    for (const char *caption : captions)
        headers << QString::fromLatin1(caption);
    auto *list = new QTreeWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setHeaderLabels(headers);
    list->header()->setStretchLastSection(true);
    return list;
}

} // namespace

TBestTimesForm::TBestTimesForm(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Best Times"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(FormWidth, FormHeight);
    setFont(DialogFont());
    CreateControls();
}

void TBestTimesForm::CreateControls()
{
    BoardList = MakeList(this, "BoardList", {"Board", "List", "Best", "Holder"});
    BoardList->setSortingEnabled(true);
    BoardList->header()->setSortIndicatorShown(true);
    BoardList->setColumnWidth(bcBoard, 130);
    BoardList->setColumnWidth(bcList, 90);
    BoardList->setColumnWidth(bcTime, 60);
    connect(BoardList, &QTreeWidget::currentItemChanged, this, &TBestTimesForm::ShowSelectedBoard);

    BoardTitle = new QLabel(this);
    BoardTitle->setObjectName(QStringLiteral("BoardTitle"));
    BoardTitle->setFont(DialogFont(11, true));

    GameList = MakeList(this, "GameList", {"#", "Time", "Name", "Date"});
    GameList->setColumnWidth(0, 26);
    GameList->setColumnWidth(1, 40);
    GameList->setColumnWidth(2, 96);
    GameList->setSelectionMode(QAbstractItemView::NoSelection);

    ResetButton = new QPushButton(QStringLiteral("&Reset..."), this);
    ResetButton->setObjectName(QStringLiteral("ResetButton"));
    ResetButton->setAutoDefault(false);
    connect(ResetButton, &QPushButton::clicked, this, &TBestTimesForm::ResetSelectedBoard);
    CloseButton = new QPushButton(QStringLiteral("Close"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    CloseButton->setDefault(true);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *details = new QHBoxLayout;
    details->addWidget(GameList, 1);
    details->addWidget(CreateStatistics());
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ResetButton);
    buttons->addStretch(1);
    buttons->addWidget(CloseButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);
    layout->addWidget(BoardList, 1);
    layout->addWidget(BoardTitle);
    layout->addLayout(details, 1);
    layout->addLayout(buttons);
}

QWidget *TBestTimesForm::CreateStatistics()
{
    auto *panel = new QWidget(this);
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(4);
    for (int i = 0; i < StatCount; ++i) {
        grid->addWidget(new QLabel(QString::fromLatin1(StatCaptions[i]), panel), i, 0);
        auto *value = new QLabel(panel);
        value->setObjectName(QLatin1String(StatNames[i]));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(48);
        grid->addWidget(value, i, 1);
        StatValues << value;
    }
    grid->setRowStretch(StatCount, 1);
    return panel;
}

QString TBestTimesForm::BoardName(int cols, int rows, int mines)
{
    if (cols == 8 && rows == 8 && mines == 10)
        return QStringLiteral("Easy");
    if (cols == 16 && rows == 16 && mines == 40)
        return QStringLiteral("Medium");
    if (cols == 30 && rows == 20 && mines == 99)
        return QStringLiteral("Hard");
    return QStringLiteral("%1 x %2 / %3").arg(cols).arg(rows).arg(mines);
}

void TBestTimesForm::Load(const QString &folder, const THistoryBoard &current)
{
    Folder = folder;
    History = TGameHistory::Load(folder);
    FillBoards(current);
}

void TBestTimesForm::Execute(const QString &folder, const THistoryBoard &current)
{
    Load(folder, current);
    CentreOnScreen(*this);
    CloseButton->setFocus();
    exec();
}

// One row per board: each best-times file's records first (the file's
// record is the board's best time), then the boards only the history
// knows, and the board on screen even when nobody knows it yet.
void TBestTimesForm::FillBoards(const THistoryBoard &current)
{
    BoardList->setSortingEnabled(false);
    BoardList->clear();
    QSet<THistoryBoard> listed;
    QTreeWidgetItem *currentItem = nullptr;
    auto addRow = [&](const THistoryBoard &board, const TBestRecord *record) {
        auto *item = new TSortedItem(BoardList);
        item->setText(bcBoard, BoardName(board.Cols, board.Rows, board.Mines));
        // By cells, then mines, the ordinary list first.
        item->setData(bcBoard, SortRole,
                      (qint64(board.Cols) * board.Rows * 1'000'000 + board.Mines) * 2 +
                          board.NoGuessing);
        item->setText(bcList, board.NoGuessing ? QStringLiteral("No Guessing")
                                               : QStringLiteral("Ordinary"));
        item->setText(bcTime, record ? QString::number(record->BestTime) : QStringLiteral("-"));
        item->setData(bcTime, SortRole, record ? qint64(record->BestTime) : qint64(INT_MAX));
        item->setTextAlignment(bcTime, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(bcHolder, record ? record->Holder : QString());
        item->setData(0, ColsRole, board.Cols);
        item->setData(0, RowsRole, board.Rows);
        item->setData(0, MinesRole, board.Mines);
        item->setData(0, NoGuessingRole, board.NoGuessing);
        listed.insert(board);
        if (board == current)
            currentItem = item;
    };
    for (const TBestList list : {TBestList::Ordinary, TBestList::NoGuessing})
        for (const TBestRecord &record : LoadAllBestRecords(Folder, list)) {
            const THistoryBoard board{record.KeyCols, record.KeyRows, record.KeyMines,
                                      list == TBestList::NoGuessing};
            if (!listed.contains(board))
                addRow(board, &record);
        }
    for (const THistoryBoard &board : History.Boards())
        if (!listed.contains(board))
            addRow(board, nullptr);
    if (!listed.contains(current))
        addRow(current, nullptr);
    BoardList->setSortingEnabled(true);
    BoardList->sortByColumn(bcBoard, Qt::AscendingOrder);
    BoardList->setCurrentItem(currentItem);
    BoardList->scrollToItem(currentItem);
    ShowSelectedBoard();
}

THistoryBoard TBestTimesForm::SelectedBoard() const
{
    const QTreeWidgetItem *item = BoardList->currentItem();
    return item ? BoardOf(*item) : THistoryBoard{};
}

void TBestTimesForm::ShowSelectedBoard()
{
    const QTreeWidgetItem *item = BoardList->currentItem();
    GameList->clear();
    ResetButton->setEnabled(item != nullptr);
    if (!item)
        return;
    const THistoryBoard board = BoardOf(*item);
    BoardTitle->setText(QStringLiteral("%1%2: its ten best games")
                            .arg(BoardName(board.Cols, board.Rows, board.Mines),
                                 board.NoGuessing ? QStringLiteral(", No Guessing") : QString()));
    const TBoardStatistics statistics = History.Of(board);
    const QLocale locale = QLocale::system();
    int rank = 0;
    for (const THistoryGame &game : statistics.BestGames) {
        auto *row = new QTreeWidgetItem(GameList);
        row->setText(0, QString::number(++rank));
        row->setText(1, QString::number(game.Seconds));
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        row->setText(2, game.Name);
        row->setText(3, locale.toString(game.Ended.toLocalTime(), QLocale::ShortFormat));
    }
    const std::optional<double> average = statistics.AverageWonSeconds();
    const QStringList values = {QString::number(statistics.Played),
                                QString::number(statistics.Won),
                                QString::number(statistics.Lost),
                                QString::number(statistics.Abandoned),
                                locale.toString(statistics.PercentWon(), 'f', 1),
                                QString::number(statistics.CurrentStreak),
                                QString::number(statistics.LongestStreak),
                                average ? locale.toString(*average, 'f', 1) + QStringLiteral(" s")
                                        : QStringLiteral("-")};
    for (int i = 0; i < StatValues.size(); ++i)
        StatValues[i]->setText(values[i]);
}

// Only the history is forgotten: the board's best time stays where it is.
void TBestTimesForm::ResetSelectedBoard()
{
    const QTreeWidgetItem *item = BoardList->currentItem();
    if (!item)
        return;
    const THistoryBoard board = BoardOf(*item);
    if (!AskQuestion(QStringLiteral("Forget every game of %1%2 in the history?\n"
                                    "Its best time stays.")
                         .arg(item->text(bcBoard),
                              board.NoGuessing ? QStringLiteral(" (No Guessing)") : QString())))
        return;
    QString why;
    if (!ForgetBoardHistory(board, Folder, &why))
        ShowMessage(TMsgType::mtError,
                    QStringLiteral("The history could not be changed: %1").arg(why));
    Load(Folder, board);
}
