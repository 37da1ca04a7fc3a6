#include "UAddress.h"

#include "address/AddressEditSession.h"
#include "address/AddressTableModel.h"
#include "address/PhotoPanel.h"
#include "common/AddressColumns.h"
#include "platform/pictures/MetafileHelper.h"
#include "platform/text/AnsiText.h"
#include "platform/ui/AltKeyGuard.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/ButtonKeys.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/KeyboardTarget.h"
#include "platform/ui/PictureBox.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/ShowHandler.h"
#include "platform/ui/ToolBarButton.h"
#include "platform/ui/WindowPlacement.h"
#include "resources/AddressArt.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTableView>
#include <QTextDocument>
#include <QToolButton>

#include <limits>

using namespace kb::common; // the address columns by name
using kb::platform::connectGuarded;

namespace {

using kb::platform::layoutFont;

constexpr int clientWidth = 569;
constexpr int clientHeight = 399;
constexpr int toolBarHeight = 26;
constexpr int listHeight = clientHeight - toolBarHeight;
constexpr QSize toolButtonSize(95, 22);
constexpr int toolButtonTop = 2;
constexpr int rowHeight = 24;
constexpr int fieldHeight = 23;

// Widths of the listed columns; the alias column is all but hidden.
constexpr std::array<int, 7> leadingColumnWidths{2, 142, 88, 89, 94, 83, 69};
constexpr int otherColumnWidth = 64;

struct EditField {
    const char* label;
    QPoint labelAt;
    const char* name;
    int column;
    QRect at; // height unused for one-line fields
};

// In tab order.
const EditField editFields[] = {
    {"Name", {8, 7}, "Name_Edit", NameColumn, {56, 6, 297, 0}},
    {"&Cat.", {380, 9}, "Cat_ComboBox", CategoryColumn, {420, 4, 145, 0}},
    {"Alias", {8, 43}, "Alias_Edit", AliasColumn, {56, 42, 297, 0}},
    {"T&el", {8, 79}, "Tel1_Edit", Telephone1Column, {56, 77, 129, 0}},
    {"&Fax", {196, 80}, "Fax1_Edit", Fax1Column, {228, 78, 129, 0}},
    {"&Addr", {8, 115}, "Addr1_Edit", Address1Column, {56, 113, 509, 0}},
    {"DO&B.", {376, 44}, "DOB_Edit", BirthDateColumn, {420, 41, 145, 0}},
    {"&Zip.", {380, 81}, "Zip1_Edit", Postcode1Column, {420, 79, 145, 0}},
    {"&Office", {8, 152}, "Office_Edit", OfficeColumn, {56, 149, 221, 0}},
    {"Post", {304, 154}, "Post_Edit", PostColumn, {348, 148, 217, 0}},
    {"T&el", {4, 188}, "Tel2_Edit", Telephone2Column, {56, 184, 129, 0}},
    {"&Fax", {196, 187}, "Fax2_Edit", Fax2Column, {228, 184, 129, 0}},
    {"&Zip.", {372, 189}, "Zip2_Edit", Postcode2Column, {408, 184, 145, 0}},
    {"&Addr", {4, 224}, "Addr2_Edit", Address2Column, {56, 220, 301, 0}},
    {"Note", {8, 296}, "Memo", NoteColumn, {56, 298, 303, 71}},
    {"Email", {4, 260}, "Email_Edit", EmailColumn, {56, 257, 241, 0}},
    {"Dept.", {364, 223}, "Station_Edit", DepartmentColumn, {408, 218, 145, 0}},
};

// A field's text as cell bytes; the note's line breaks become the lone LFs
// the address file keeps inside a value.
std::string bytesOf(QStringView text)
{
    return kb::platform::bytesFromDocumentText(text, "\n");
}

// The note as typed. The document's raw text keeps every character (its
// plain text would turn no-break spaces into spaces).
std::string memoBytes(const QPlainTextEdit& memo)
{
    return bytesOf(memo.document()->toRawText());
}

// A field shows a longer cell only in part, and read-only, since its text
// layout would freeze on a cell of hundreds of megabytes; Save then leaves
// the cell as it is, whole.
constexpr std::size_t maxEditedCellBytes = 64 * 1024;

bool tooLongToEdit(std::string_view cell)
{
    return cell.size() > maxEditedCellBytes;
}

QString fieldTextOf(std::string_view cell)
{
    if (!tooLongToEdit(cell))
        return kb::platform::textFromBytes(cell);
    return kb::platform::textFromBytes(cell.substr(0, maxEditedCellBytes)) + QChar(0x2026);
}

QLineEdit* newLineEdit(QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setMaxLength(std::numeric_limits<int>::max()); // cells have no length limit
    return edit;
}

} // namespace

TfmAddress::TfmAddress(kb::launch::MailSenderFactory mailerFactory, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_mailerFactory(std::move(mailerFactory))
{
    setObjectName(QStringLiteral("fmAddress"));
    setWindowTitle(QStringLiteral("Kestrelbook - Address"));
    setWindowIcon(kb::resources::addressIcon());
    setFixedSize(clientWidth, clientHeight);
    kb::platform::setWindowFont(*this, layoutFont(QStringLiteral("Times New Roman"), 13));

    // The list's height in pixels must fit the int its view counts in.
    m_model = new kb::address::AddressTableModel(std::numeric_limits<int>::max() / rowHeight, this);
    m_session = std::make_unique<kb::address::AddressEditSession>(*m_model);
    m_notebook = new QStackedWidget(this);
    m_notebook->setObjectName(QStringLiteral("Address_Notebook"));
    m_notebook->setGeometry(0, 0, clientWidth, clientHeight);
    createMainPage();
    createEditPage();

    kb::platform::centreOnScreen(*this);
}

TfmAddress::~TfmAddress() = default;

void TfmAddress::createMainPage()
{
    auto* page = new QWidget(m_notebook);
    page->setObjectName(QStringLiteral("Main"));
    m_notebook->addWidget(page);
    m_mainPage = page;

    m_grid = new QTableView(page);
    m_grid->setObjectName(QStringLiteral("Address_Grid"));
    m_grid->setGeometry(0, 0, clientWidth, listHeight);
    m_grid->setFrameShape(QFrame::NoFrame);
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    m_grid->setShowGrid(true);
    m_grid->setTabKeyNavigation(false); // Tab goes on to the tool bar
    m_grid->setWordWrap(false);
    m_grid->setTextElideMode(Qt::ElideNone);
    // Uniform fixed rows keep a list of a million addresses as quick as a short one.
    QHeaderView* rows = m_grid->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* heading = m_grid->horizontalHeader();
    heading->setFixedHeight(rowHeight);
    heading->setMinimumSectionSize(1);
    heading->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    heading->setSectionsClickable(false);
    heading->setHighlightSections(false);
    heading->setSectionResizeMode(QHeaderView::Fixed);
    for (int column = 0; column < AddressGrid::DisplayedColumnCount; ++column) {
        const auto c = static_cast<std::size_t>(column);
        m_grid->setColumnWidth(column, c < leadingColumnWidths.size() ? leadingColumnWidths[c] : otherColumnWidth);
    }
    connectGuarded(m_grid, &QTableView::doubleClicked, this, &TfmAddress::Address_GridDblClick);
    // Return on a row opens it as a double-click does.
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* open = new QShortcut(QKeySequence(key), m_grid);
        open->setContext(Qt::WidgetShortcut);
        connectGuarded(open, &QShortcut::activated, this, &TfmAddress::Address_GridDblClick);
    }

    auto* toolBar = new QWidget(page);
    toolBar->setObjectName(QStringLiteral("ToolBar2"));
    toolBar->setGeometry(0, listHeight, clientWidth, toolBarHeight);
    connectGuarded(addToolButton(toolBar, "NewAddress_Button", QStringLiteral("&Add"), 0), &QToolButton::clicked, this,
                   &TfmAddress::NewAddress_ButtonClick);
    connectGuarded(addToolButton(toolBar, "Del_ToolButton", QStringLiteral("&Delete"), toolButtonSize.width()),
                   &QToolButton::clicked, this, &TfmAddress::Del_ToolButtonClick);
    constexpr int separator = 8;
    connectGuarded(
        addToolButton(toolBar, "Address_Exit_Button", QStringLiteral("E&xit"), 2 * toolButtonSize.width() + separator),
        &QToolButton::clicked, this, &TfmAddress::Address_Exit_ButtonClick);
}

void TfmAddress::createEditPage()
{
    auto* page = new QWidget(m_notebook);
    page->setObjectName(QStringLiteral("Edit"));
    m_notebook->addWidget(page);
    m_editPage = page;

    auto* panel = new QWidget(page);
    panel->setObjectName(QStringLiteral("Address_Edit_Panel"));
    panel->setGeometry(0, 0, clientWidth, listHeight);
    createEditFields(panel);
    createPhotoPanel(panel);

    auto* toolBar = new QWidget(page);
    toolBar->setObjectName(QStringLiteral("Address_Edit_Toolbar"));
    toolBar->setGeometry(0, listHeight, clientWidth, toolBarHeight);
    QToolButton* save = addToolButton(toolBar, "Address_Edit_Save_Button", QStringLiteral("S&ave"), 0);
    connectGuarded(save, &QToolButton::clicked, this, &TfmAddress::Address_Edit_Save_ButtonClick);
    constexpr int separator = 2;
    QToolButton* cancel =
        addToolButton(toolBar, "ToolButton2", QStringLiteral("&Cancel"), toolButtonSize.width() + separator);
    connectGuarded(cancel, &QToolButton::clicked, this, &TfmAddress::ToolButton2Click);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), page);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connectGuarded(escape, &QShortcut::activated, this, &TfmAddress::ToolButton2Click);

    // The fields, the photo, "Send", then the tool bar.
    setTabOrder(m_fieldOfColumn[DepartmentColumn], m_photoKey);
    setTabOrder(m_photoKey, m_sendButton);
    setTabOrder(m_sendButton, save);
    setTabOrder(save, cancel);
}

void TfmAddress::createEditFields(QWidget* panel)
{
    auto* altKeys = new kb::platform::AltKeyGuard(this);
    QWidget* previous = nullptr;
    int labelNumber = 1;
    for (const EditField& field : editFields) {
        QWidget* control = nullptr;
        if (field.column == NoteColumn) {
            m_memo = new QPlainTextEdit(panel);
            m_memo->setGeometry(field.at);
            m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
            m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            m_memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            m_memo->setTabChangesFocus(true);
            control = m_memo;
        } else if (field.column == CategoryColumn) {
            m_category = new QComboBox(panel);
            m_category->setEditable(true);
            m_category->setInsertPolicy(QComboBox::NoInsert); // the list stays empty; the category is typed
            m_category->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
            m_category->setGeometry(field.at.x(), field.at.y(), field.at.width(), fieldHeight);
            m_fieldOfColumn[CategoryColumn] = m_category->lineEdit();
            control = m_category;
        } else {
            QLineEdit* edit = newLineEdit(panel);
            edit->setGeometry(field.at.x(), field.at.y(), field.at.width(), fieldHeight);
            m_fieldOfColumn[static_cast<std::size_t>(field.column)] = edit;
            control = edit;
        }
        control->setObjectName(QLatin1String(field.name));
        altKeys->watch(control);
        if (control == m_category)
            altKeys->watch(m_category->lineEdit());

        auto* label = new QLabel(QString::fromLatin1(field.label), panel);
        label->setObjectName(QStringLiteral("Label%1").arg(labelNumber++));
        label->setBuddy(control);
        label->move(field.labelAt);
        label->adjustSize();

        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }
    m_emailEdit = m_fieldOfColumn[EmailColumn];

    m_sendButton = new QPushButton(QStringLiteral("Send"), panel);
    m_sendButton->setObjectName(QStringLiteral("Send_Email_Button"));
    m_sendButton->setGeometry(298, 256, 61, 25);
    m_sendButton->setIcon(kb::resources::sendMailIcon());
    m_sendButton->setIconSize(QSize(16, 16));
    kb::platform::pressWithReturn(*m_sendButton);
    connectGuarded(m_sendButton, &QPushButton::clicked, this, &TfmAddress::Send_Email_ButtonClick);
}

void TfmAddress::createPhotoPanel(QWidget* panel)
{
    m_picturePanel = new kb::address::PhotoPanel(QStringLiteral("NoImage"), panel);
    m_picturePanel->setObjectName(QStringLiteral("Picture_Panel"));
    m_picturePanel->setAccessibleName(QStringLiteral("Photo"));
    m_picturePanel->setGeometry(368, 256, 193, 109);
    connectGuarded(m_picturePanel, &kb::address::PhotoPanel::doubleClicked, this, &TfmAddress::Picture_PanelDblClick);

    m_photoBitmap = new QLabel(m_picturePanel);
    m_photoBitmap->setObjectName(QStringLiteral("Photo_Bitmap"));
    m_photoBitmap->setGeometry(m_picturePanel->contentsRect());
    m_photoBitmap->setAlignment(Qt::AlignCenter);
    m_photoBitmap->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_photoBitmap->hide();

    m_photoEdit = newLineEdit(m_picturePanel);
    m_photoEdit->setObjectName(QStringLiteral("Photo_Edit"));
    m_photoEdit->hide();
    m_fieldOfColumn[PhotoColumn] = m_photoEdit;
    connectGuarded(m_photoEdit, &QLineEdit::textChanged, this, &TfmAddress::Photo_EditChange);

    // Above the photo, so that its focus mark shows over it.
    m_photoKey = new kb::platform::KeyboardTarget(QStringLiteral("Photo"), 0, m_picturePanel);
    m_photoKey->setGeometry(m_picturePanel->rect());
    connectGuarded(m_photoKey, &kb::platform::KeyboardTarget::clicked, this, &TfmAddress::Picture_PanelDblClick);
}

QToolButton* TfmAddress::addToolButton(QWidget* toolBar, const char* name, const QString& caption, int left)
{
    return kb::platform::addToolBarButton(*toolBar, name, caption, QRect(QPoint(left, toolButtonTop), toolButtonSize));
}

void TfmAddress::Show(const std::string& fileName)
{
    m_addressFileName = fileName;
    const int keptRow = selectedRow();
    {
        const kb::platform::BusyCursor busy;
        m_model->load(m_addressFileName);
    }
    m_session->noteReload();
    kb::platform::startMetafileHelper(); // ready by the time a photo is opened
    showHeadingAsTheGridHoldsIt();
    selectRow(keptRow);
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void TfmAddress::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    kb::platform::runShowHandler(*this, *event, [this] { FormShow(); });
}

void TfmAddress::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

void TfmAddress::FormShow()
{
    selectPage(m_mainPage);
    m_mailer = m_mailerFactory();
}

void TfmAddress::FormClose()
{
    m_mailer.reset(); // destructors do not throw, so the window always closes
}

void TfmAddress::Address_GridDblClick()
{
    const int row = selectedRow();
    if (row < 0)
        return;
    const AddressGrid& grid = m_model->grid();
    hidePhoto();
    for (int column = 0; column <= PhotoColumn; ++column) {
        QLineEdit* field = m_fieldOfColumn[static_cast<std::size_t>(column)];
        field->setReadOnly(noteShownInPart(column, grid.cell(column, row)));
        field->setText(fieldTextOf(grid.cell(column, row)));
    }
    m_category->setEnabled(!m_shownInPart[CategoryColumn]); // its list would replace the text
    m_memo->setReadOnly(noteShownInPart(NoteColumn, grid.cell(NoteColumn, row)));
    m_memo->setPlainText(fieldTextOf(grid.cell(NoteColumn, row)));
    m_session->open(row);
    selectPage(m_editPage);
}

void TfmAddress::NewAddress_ButtonClick()
{
    const int row = m_session->openNewRow();
    m_shownInPart.reset();
    for (int column = 0; column <= PhotoColumn; ++column)
        m_fieldOfColumn[static_cast<std::size_t>(column)]->setReadOnly(false);
    for (int column = 0; column < PhotoColumn; ++column)
        m_fieldOfColumn[static_cast<std::size_t>(column)]->clear();
    m_category->setEnabled(true);
    hidePhoto();
    m_memo->setReadOnly(false);
    m_memo->clear();
    selectRow(row);
    selectPage(m_editPage);
}

void TfmAddress::Del_ToolButtonClick()
{
    const int row = highlightedRow();
    if (!kb::address::AddressEditSession::canDelete(row))
        return;
    const std::string_view name = m_model->grid().cell(NameColumn, row);
    const QString question = name.empty()
        ? QStringLiteral("Delete Address?")
        : QStringLiteral("Delete Address for \"") + kb::platform::textFromBytes(name) + QStringLiteral("\" ?");
    if (!kb::platform::prompter().askYesNo(this, question))
        return;
    m_session->deleteRow(row);
    showHeadingAsTheGridHoldsIt();
    selectRow(row);
}

void TfmAddress::Address_Exit_ButtonClick()
{
    // As an editor asks before it writes over a file changed since it was
    // read: the other program's change would be lost for good.
    if (m_model->changedSinceLoad(m_addressFileName)
        && !kb::platform::prompter().askYesNo(
            this,
            QStringLiteral("The address file was changed by another program after it was opened. "
                           "Overwrite it?")))
        return;
    {
        const kb::platform::BusyCursor busy;
        m_model->save(m_addressFileName);
    }
    close();
}

void TfmAddress::Address_Edit_Save_ButtonClick()
{
    const auto [row, foundAgain] = m_session->saveTarget();
    if (foundAgain) {
        showHeadingAsTheGridHoldsIt();
        selectRow(row);
    }
    if (row >= 0) {
        for (int column = 0; column <= PhotoColumn; ++column) {
            if (!m_shownInPart[static_cast<std::size_t>(column)])
                m_model->setCell(column, row, bytesOf(m_fieldOfColumn[static_cast<std::size_t>(column)]->text()));
        }
    }
    hidePhoto();
    if (row >= 0 && !m_shownInPart[NoteColumn])
        m_model->setCell(NoteColumn, row, memoBytes(*m_memo));
    selectPage(m_mainPage);
}

void TfmAddress::ToolButton2Click()
{
    selectPage(m_mainPage);
}

void TfmAddress::Picture_PanelDblClick()
{
    const QString chosen = kb::platform::prompter().chooseFileToOpen(
        this, {QStringLiteral("Open Photo"), QString(), QStringLiteral("bmp")});
    if (chosen.isEmpty())
        return;
    // The file is loaded by the name the dialog gave; the address file keeps
    // the name the DOS product can find it by.
    const std::string path = QFile::encodeName(chosen).toStdString();
    m_chosenPhoto = kb::platform::FileName::native(path);
    m_photoEdit->setText(kb::platform::textFromBytes(kb::platform::dosFormOf(path)));
}

void TfmAddress::Photo_EditChange()
{
    const QString path = m_photoEdit->text();
    if (path.isEmpty())
        return;
    try {
        // Metafiles are drawn at the panel's ratio, bitmaps scaled to it.
        const QImage photo = kb::platform::loadPictureFile(
            m_chosenPhoto ? *m_chosenPhoto : kb::platform::FileName(bytesOf(path)), m_photoBitmap->devicePixelRatioF());
        m_photoBitmap->setPixmap(kb::platform::pixmapAtRatio(photo, m_photoBitmap->devicePixelRatioF()));
        m_photoBitmap->show();
    } catch (const std::exception&) {
        // A photo that cannot be shown is no error: the panel shows "NoImage".
        m_photoBitmap->hide();
    }
}

void TfmAddress::Send_Email_ButtonClick()
{
    if (!m_mailer)
        return;
    m_mailer->SetMail(bytesOf(m_emailEdit->text()));
    m_mailer->SendMail(); // a failure shows nothing
}

bool TfmAddress::noteShownInPart(int column, std::string_view cell)
{
    return m_shownInPart[static_cast<std::size_t>(column)] = tooLongToEdit(cell);
}

void TfmAddress::selectPage(QWidget* page)
{
    m_notebook->setCurrentWidget(page);
    // Each page opens at its first control in the tab order.
    QWidget* first = page == m_editPage ? static_cast<QWidget*>(m_fieldOfColumn[NameColumn]) : m_grid;
    first->setFocus(Qt::OtherFocusReason);
}

int TfmAddress::selectedRow() const
{
    return m_model->gridRowOf(m_grid->selectionModel()->currentIndex());
}

int TfmAddress::highlightedRow() const
{
    const QModelIndex current = m_grid->selectionModel()->currentIndex();
    if (!current.isValid() || !m_grid->selectionModel()->isRowSelected(current.row(), {}))
        return -1;
    return m_model->gridRowOf(current);
}

void TfmAddress::selectRow(int gridRow)
{
    const int listed = m_model->rowCount();
    if (listed == 0)
        return;
    const int first = m_model->firstListedRow();
    const int row = std::clamp(gridRow, first, first + listed - 1);
    const QModelIndex index = m_model->indexOfGridRow(row);
    m_grid->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_grid->scrollTo(index);
}

void TfmAddress::showHeadingAsTheGridHoldsIt()
{
    m_grid->horizontalHeader()->setVisible(m_model->headingFixed());
}

void TfmAddress::hidePhoto()
{
    m_chosenPhoto.reset();
    m_photoBitmap->hide();
    m_photoEdit->clear();
}
