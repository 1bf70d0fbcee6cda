#include "music/PlayForm.h"

#include "base/MessageBox.h"
#include "controls/Fonts.h"
#include "music/Music.h"
#include "music/PlayListDialogs.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QShowEvent>
#include <QStyle>

namespace
{

constexpr int ClientWidth = 279;
constexpr int ClientHeight = 223;

const char *const EmptyListText = "The playlist is empty!";

QPushButton *Button(QWidget *parent, const char *name, const char *caption,
                    QStyle::StandardPixmap glyph, const QRect &geometry)
{
    auto *button =
        new QPushButton(parent->style()->standardIcon(glyph), QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

} // namespace

TPlayForm::TPlayForm(TSoundModule &sound, QWidget *parent)
    : QDialog(parent), Edit(sound), Dialogs(std::make_unique<TFileDialogs>(sound))
{
    setObjectName(QStringLiteral("PlayForm"));
    setWindowTitle(QStringLiteral("Playlist"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogFont());
    CreateMenus();
    // The menu bar stands above the client area, as a window's menu does.
    const int menuHeight = MainMenu->sizeHint().height();
    MainMenu->setGeometry(0, 0, ClientWidth, menuHeight);
    auto *client = new QWidget(this);
    client->setGeometry(0, menuHeight, ClientWidth, ClientHeight);
    CreateControls(client);
    setFixedSize(ClientWidth, menuHeight + ClientHeight);
}

TPlayForm::~TPlayForm() = default;

QAction *TPlayForm::AddItem(QMenu *menu, const char *name, const char *caption,
                            const QKeySequence &shortcut, void (TPlayForm::*handler)())
{
    QAction *action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    if (handler)
        connect(action, &QAction::triggered, this, handler);
    return action;
}

void TPlayForm::CreateMenus()
{
    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    // Kept inside the window everywhere: the client area is laid out below it.
    MainMenu->setNativeMenuBar(false);
    // The menus keep the system's font, as the main window's do.
    MainMenu->setFont(QFont());

    QMenu *file = MainMenu->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("MFile"));
    AddItem(file, "MFClear", "&Clear", QKeySequence(Qt::CTRL | Qt::Key_N),
            &TPlayForm::MFClearClick);
    AddItem(file, "MFLoad", "&Load playlist...", QKeySequence(Qt::CTRL | Qt::Key_O),
            &TPlayForm::MFLoadClick);
    AddItem(file, "MFSave", "&Save playlist", QKeySequence(Qt::CTRL | Qt::Key_S),
            &TPlayForm::MFSaveClick);
    AddItem(file, "MFClose", "&Close", QKeySequence(Qt::Key_Escape), &TPlayForm::MFCloseClick);

    QMenu *edit = MainMenu->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("MEdit"));
    AddItem(edit, "MEAll", "&Select all", QKeySequence(Qt::CTRL | Qt::Key_A),
            &TPlayForm::MEAllClick);
    AddItem(edit, "MEInvert", "&Invert selection", {}, &TPlayForm::MEInvertClick);
    AddItem(edit, "MUnselect", "&Unselect all", {}, &TPlayForm::MUnselectClick);
    // Reserved: the item and its shortcut are there, the command is not.
    AddItem(edit, "MEInfo", "&File Info...", QKeySequence(Qt::ALT | Qt::Key_3), nullptr);

    QMenu *sort = MainMenu->addMenu(QStringLiteral("&Sort"));
    sort->setObjectName(QStringLiteral("MSort"));
    AddItem(sort, "byTitle1", "by &Title", {}, &TPlayForm::byTitle1Click);
    AddItem(sort, "byFilename1", "by &Filename", {}, &TPlayForm::byFilename1Click);
    AddItem(sort, "byPathandFilename1", "by &Path and Filename", {},
            &TPlayForm::byPathandFilename1Click);
    AddItem(sort, "Randomize1", "&Randomize", QKeySequence(Qt::CTRL | Qt::Key_Z),
            &TPlayForm::Randomize1Click);
    AddItem(sort, "Reverse1", "R&everse", QKeySequence(Qt::CTRL | Qt::Key_R),
            &TPlayForm::Reverse1Click);
}

void TPlayForm::CreateControls(QWidget *client)
{
    BitBtn4 = Button(client, "BitBtn4", "Remove", QStyle::SP_TrashIcon, QRect(8, 8, 75, 25));
    connect(BitBtn4, &QPushButton::clicked, this, &TPlayForm::BitBtn4Click);
    BitBtn5 = Button(client, "BitBtn5", "Add", QStyle::SP_DialogOpenButton, QRect(8, 38, 75, 25));
    connect(BitBtn5, &QPushButton::clicked, this, &TPlayForm::BitBtn5Click);

    UpDown1 = new TUpDown(client);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setGeometry(8, 70, 75, 44);
    connect(UpDown1, &TUpDown::Click, this, &TPlayForm::UpDown1Click);

    BitBtn1 = Button(client, "BitBtn1", "OK", QStyle::SP_DialogOkButton, QRect(8, 128, 75, 25));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &TPlayForm::BitBtn1Click);
    BitBtn2 =
        Button(client, "BitBtn2", "Cancel", QStyle::SP_DialogCancelButton, QRect(8, 158, 75, 25));
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    // No help is attached to the window; the button is there and does nothing.
    BitBtn3 =
        Button(client, "BitBtn3", "&Help", QStyle::SP_DialogHelpButton, QRect(8, 190, 75, 25));

    PlayList = new QListWidget(client);
    PlayList->setObjectName(QStringLiteral("PlayList"));
    PlayList->setGeometry(91, 8, 180, 160);
    PlayList->setFont(DialogFont(11, true));
    PlayList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    PlayList->setUniformItemSizes(true);
    connect(PlayList, &QListWidget::itemDoubleClicked, this, &TPlayForm::PlayListDblClick);
    connect(PlayList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TPlayForm::TakeSelection);

    Label1 = new QLabel(QStringLiteral("Start with Module:"), client);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(91, 174);
    Label1->adjustSize();

    PlayCombo = new QComboBox(client);
    PlayCombo->setObjectName(QStringLiteral("PlayCombo"));
    PlayCombo->setGeometry(91, 192, 180, 23);
    Label1->setBuddy(PlayCombo);
    PlayList->setAccessibleName(QStringLiteral("Play list"));
    UpDown1->setAccessibleName(QStringLiteral("Move the chosen modules up or down"));
    connect(PlayCombo, &QComboBox::currentIndexChanged, this, &TPlayForm::TakeStart);

    setTabOrder(PlayList, PlayCombo);
    setTabOrder(PlayCombo, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    setTabOrder(BitBtn2, BitBtn3);
    setTabOrder(BitBtn3, BitBtn4);
    setTabOrder(BitBtn4, BitBtn5);
}

bool TPlayForm::Execute(TMusic &music, TRandom &random)
{
    Music = &music;
    Random = &random;
    const bool confirmed = exec() == QDialog::Accepted;
    Music = nullptr;
    Random = nullptr;
    return confirmed;
}

void TPlayForm::SetFileDialogs(std::unique_ptr<TPlayListDialogs> dialogs)
{
    if (dialogs)
        Dialogs = std::move(dialogs);
}

void TPlayForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TPlayForm::FormShow()
{
    if (Music)
        Edit.CopyFrom(*Music);
    else
        Edit.Clear();
    ShowEntries();
    PlayList->scrollToTop();
    PlayList->setFocus();
}

// --- File menu -------------------------------------------------------------

void TPlayForm::MFClearClick()
{
    Edit.Clear();
    ShowEntries();
}

void TPlayForm::MFLoadClick()
{
    const QString name = Dialogs->ChooseListToLoad(this);
    if (name.isEmpty())
        return;
    Edit.LoadFile(name);
    ShowEntries();
}

void TPlayForm::MFSaveClick()
{
    if (Edit.Count() == 0) {
        ShowMessage(TMsgType::mtInformation, QString::fromLatin1(EmptyListText));
        return;
    }
    const QString name = Dialogs->ChooseListToSave(this);
    if (name.isEmpty())
        return;
    QString error;
    if (!Edit.SaveFile(name, &error))
        ShowMessage(TMsgType::mtError, error);
}

void TPlayForm::MFCloseClick()
{
    reject();
}

// --- Edit menu -------------------------------------------------------------

void TPlayForm::MEAllClick()
{
    Edit.SelectAll();
    ShowSelection();
}

void TPlayForm::MEInvertClick()
{
    Edit.InvertSelection();
    ShowSelection();
}

void TPlayForm::MUnselectClick()
{
    Edit.UnselectAll();
    ShowSelection();
}

// --- Sort menu -------------------------------------------------------------

void TPlayForm::byTitle1Click()
{
    Edit.SortByTitle();
    ShowEntries();
}

void TPlayForm::byFilename1Click()
{
    Edit.SortByFileName();
    ShowEntries();
}

void TPlayForm::byPathandFilename1Click()
{
    Edit.SortByPathAndFileName();
    ShowEntries();
}

void TPlayForm::Randomize1Click()
{
    Edit.Randomize(*Random);
    ShowEntries();
}

void TPlayForm::Reverse1Click()
{
    Edit.Reverse();
    ShowEntries();
}

// --- Buttons and the list --------------------------------------------------

void TPlayForm::BitBtn5Click()
{
    const QStringList files = Dialogs->ChooseModules(this);
    if (files.isEmpty())
        return;
    Edit.AddFiles(files);
    ShowEntries();
}

void TPlayForm::BitBtn4Click()
{
    Edit.RemoveSelected();
    ShowEntries();
}

void TPlayForm::UpDown1Click(TUDBtnType button)
{
    if (button == TUDBtnType::btNext)
        Edit.MoveSelectedUp();
    else
        Edit.MoveSelectedDown();
    ShowEntries();
}

void TPlayForm::PlayListDblClick()
{
    Edit.SetStartIndex(PlayList->currentRow());
    ShowEntries();
}

void TPlayForm::BitBtn1Click()
{
    if (Music)
        Edit.CommitTo(*Music);
    accept();
}

// --- Mirroring the working copy --------------------------------------------

void TPlayForm::ShowEntries()
{
    const QScopedValueRollback mirroring(Mirroring, true);
    const TPlayList &entries = Edit.Entries();
    const int count = entries.Count();
    if (PlayList->count() != count) {
        QStringList titles;
        titles.reserve(count);
        for (int index = 0; index < count; ++index)
            titles << entries.Items(index).TitleText();
        PlayList->clear();
        PlayList->addItems(titles);
        PlayCombo->clear();
        PlayCombo->addItems(titles);
    } else {
        // Reordered in place, so the list keeps its scroll position.
        for (int index = 0; index < count; ++index) {
            const QString title = entries.Items(index).TitleText();
            if (PlayList->item(index)->text() != title) {
                PlayList->item(index)->setText(title);
                PlayCombo->setItemText(index, title);
            }
        }
    }
    ShowSelection();
    PlayCombo->setCurrentIndex(Edit.StartIndex());
}

void TPlayForm::ShowSelection()
{
    const QScopedValueRollback mirroring(Mirroring, true);
    QItemSelection selection;
    const int count = Edit.Count();
    for (int first = 0; first < count;) {
        if (!Edit.IsSelected(first)) {
            ++first;
            continue;
        }
        int last = first;
        while (last + 1 < count && Edit.IsSelected(last + 1))
            ++last;
        selection.select(PlayList->model()->index(first, 0), PlayList->model()->index(last, 0));
        first = last + 1;
    }
    PlayList->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

void TPlayForm::TakeSelection(const QItemSelection &selected, const QItemSelection &deselected)
{
    if (Mirroring)
        return;
    for (const QModelIndex &index : deselected.indexes())
        Edit.SetSelected(index.row(), false);
    for (const QModelIndex &index : selected.indexes())
        Edit.SetSelected(index.row(), true);
}

void TPlayForm::TakeStart(int index)
{
    if (!Mirroring)
        Edit.SetStartIndex(index);
}
