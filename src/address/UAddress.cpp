#include "UAddress.h"

#include "address/AddressControls.h"
#include "address/AddressEditSession.h"
#include "address/AddressFieldNames.h"
#include "address/AddressLayout.h"
#include "address/AddressQuestions.h"
#include "address/AddressTableModel.h"
#include "address/PhotoPanel.h"
#include "common/AddressColumns.h"
#include "platform/pictures/MetafileHelper.h"
#include "platform/pictures/PictureFile.h"
#include "platform/text/AnsiText.h"
#include "platform/ui/Accessibility.h"
#include "platform/ui/AltKeyGuard.h"
#include "platform/ui/BusyCursor.h"
#include "platform/ui/ButtonKeys.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/HandlerGuard.h"
#include "platform/ui/Prompter.h"
#include "platform/ui/ShowHandler.h"
#include "platform/ui/ToolBarButton.h"
#include "platform/ui/WindowPlacement.h"
#include "resources/AddressArt.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTableView>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>
#include <limits>

using namespace kb::common; // the address columns by name
using kb::platform::connectGuarded;

using namespace kb::address::layout;
using kb::address::bytesOf;

TfmAddress::TfmAddress(kb::launch::MailSenderFactory mailerFactory, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_mailerFactory(std::move(mailerFactory))
{
    setObjectName(QStringLiteral("fmAddress"));
    setWindowTitle(QStringLiteral("Kestrelbook - Address"));
    setWindowIcon(kb::resources::addressIcon());
    setFixedSize(clientWidth, clientHeight);
    kb::platform::setWindowFont(*this, kb::platform::layoutFont(QStringLiteral("Times New Roman"), 13));

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
    QWidget* page = m_mainPage = addPage("Main", QStringLiteral("Address list"));

    m_grid = new QTableView(page);
    m_grid->setObjectName(QStringLiteral("Address_Grid"));
    m_grid->setAccessibleName(QStringLiteral("Addresses"));
    m_grid->setGeometry(0, 0, clientWidth, listHeight);
    kb::address::setUpAddressList(*m_grid, *m_model);
    connectGuarded(m_grid, &QTableView::doubleClicked, this, &TfmAddress::Address_GridDblClick);
    // Return on a row opens it as a double-click does.
    connectGuarded(kb::platform::returnShortcut(*m_grid), &QShortcut::activated, this,
                   &TfmAddress::Address_GridDblClick);

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

QWidget* TfmAddress::addPage(const char* name, const QString& spokenName)
{
    auto* page = new QWidget(m_notebook);
    page->setObjectName(QLatin1String(name));
    kb::platform::nameAsPage(*page, spokenName);
    m_notebook->addWidget(page);
    return page;
}

void TfmAddress::createEditPage()
{
    QWidget* page = m_editPage = addPage("Edit", QStringLiteral("Edit address"));

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
    connectGuarded(kb::platform::escapeShortcut(*page), &QShortcut::activated, this, &TfmAddress::escapeEditPage);

    // The fields, the photo, "Send", then the tool bar.
    setTabOrder(m_fieldOfColumn[DepartmentColumn], m_picturePanel->keyboardTarget());
    setTabOrder(m_picturePanel->keyboardTarget(), m_sendButton);
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
            m_memo = kb::address::newNoteEdit(panel, field.at);
            control = m_memo;
        } else if (field.column == CategoryColumn) {
            m_category = kb::address::newCategoryBox(panel, field.at);
            m_fieldOfColumn[CategoryColumn] = m_category->lineEdit();
            control = m_category;
        } else {
            QLineEdit* edit = kb::address::newLineEdit(panel, field.at);
            m_fieldOfColumn[static_cast<std::size_t>(field.column)] = edit;
            control = edit;
        }
        control->setObjectName(QLatin1String(field.name));
        control->setAccessibleName(kb::address::accessibleFieldName(field.column));
        altKeys->watch(control);
        if (control == m_category)
            altKeys->watch(m_category->lineEdit());

        kb::address::addFieldLabel(*panel, field, *control, labelNumber++);
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
    connectGuarded(m_picturePanel, &kb::address::PhotoPanel::anotherPhotoAsked, this,
                   &TfmAddress::Picture_PanelDblClick);

    m_photoEdit = kb::address::newLineEdit(m_picturePanel, QRect());
    m_photoEdit->setObjectName(QStringLiteral("Photo_Edit"));
    m_photoEdit->hide();
    m_fieldOfColumn[PhotoColumn] = m_photoEdit;
    connectGuarded(m_photoEdit, &QLineEdit::textChanged, this, &TfmAddress::Photo_EditChange);
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
    kb::platform::bringToFront(*this);
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
    hidePhoto();
    m_session->open(row);
    selectPage(m_editPage);
    const auto shownText = [this](int column) {
        return kb::address::fieldTextOf(m_session->shownBytes(column), m_session->shownInPart(column));
    };
    for (int column = 0; column <= PhotoColumn; ++column) {
        QLineEdit* field = m_fieldOfColumn[static_cast<std::size_t>(column)];
        field->setReadOnly(m_session->shownInPart(column));
        field->setText(shownText(column));
    }
    m_memo->setReadOnly(m_session->shownInPart(NoteColumn));
    m_memo->setPlainText(shownText(NoteColumn));
    m_category->setEnabled(!m_session->shownInPart(CategoryColumn)); // its list would replace the text
}

void TfmAddress::NewAddress_ButtonClick()
{
    const int row = m_session->openNewRow();
    selectPage(m_editPage);
    for (int column = 0; column <= PhotoColumn; ++column)
        m_fieldOfColumn[static_cast<std::size_t>(column)]->setReadOnly(false);
    for (int column = 0; column < PhotoColumn; ++column)
        m_fieldOfColumn[static_cast<std::size_t>(column)]->clear();
    m_category->setEnabled(true);
    hidePhoto();
    m_memo->setReadOnly(false);
    m_memo->clear();
    selectRow(row);
}

void TfmAddress::Del_ToolButtonClick()
{
    const int row = highlightedRow();
    if (!kb::address::AddressEditSession::canDelete(row))
        return;
    const QString question = kb::address::deleteQuestion(m_model->grid().cell(NameColumn, row));
    if (!kb::platform::prompter().askYesNo(this, question))
        return;
    m_session->deleteRow(row);
    showHeadingAsTheGridHoldsIt();
    selectRow(row);
}

void TfmAddress::Address_Exit_ButtonClick()
{
    const QString question =
        kb::address::overwriteQuestion(m_model->changeSinceLoad(m_addressFileName), m_addressFileName);
    if (!question.isEmpty() && !kb::platform::prompter().askYesNo(this, question))
        return;
    {
        const kb::platform::BusyCursor busy;
        m_model->save(m_addressFileName);
    }
    close();
}

void TfmAddress::Address_Edit_Save_ButtonClick()
{
    const auto [row, foundAgain] = m_session->save([this](int column) {
        return column == NoteColumn ? kb::address::memoBytes(*m_memo)
                                    : bytesOf(m_fieldOfColumn[static_cast<std::size_t>(column)]->text());
    });
    if (foundAgain) {
        showHeadingAsTheGridHoldsIt();
        selectRow(row);
    }
    hidePhoto();
    selectPage(m_mainPage);
}

void TfmAddress::ToolButton2Click()
{
    selectPage(m_mainPage);
}

void TfmAddress::escapeEditPage()
{
    // Cancel drops the edits, as its button says; Escape is only our key for
    // it, and a key of ours never loses what was typed without asking.
    if (editsPending()
        && !kb::platform::prompter().askYesNo(this, kb::address::discardEditsQuestion,
                                              kb::platform::Prompter::DefaultAnswer::No))
        return;
    ToolButton2Click();
}

bool TfmAddress::editsPending() const
{
    const auto typedIn = [](const QLineEdit* field) { return field->isModified(); };
    return m_chosenPhoto || m_memo->document()->isModified()
        || std::any_of(m_fieldOfColumn.begin(), m_fieldOfColumn.end(), typedIn);
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
        // Metafiles are drawn at the panel's ratio.
        m_picturePanel->showPhoto(kb::platform::loadPictureFile(
            m_chosenPhoto ? *m_chosenPhoto : kb::platform::FileName(bytesOf(path)), devicePixelRatioF()));
    } catch (const std::exception&) {
        // A photo that cannot be shown is no error: the panel shows "NoImage".
        m_picturePanel->hidePhoto();
    }
}

void TfmAddress::Send_Email_ButtonClick()
{
    if (!m_mailer)
        return;
    m_mailer->SetMail(bytesOf(m_emailEdit->text()));
    m_mailer->SendMail(); // a failure shows nothing
}

void TfmAddress::selectPage(QWidget* page)
{
    // Each page opens at its first control in the tab order; the Edit page
    // before its fields fill, so that a screen reader hears it open there.
    m_notebook->setCurrentWidget(page);
    if (page == m_editPage)
        m_fieldOfColumn[NameColumn]->setFocus(Qt::OtherFocusReason);
    else
        kb::address::focusAddressList(*m_grid);
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
    // The current cell on the name, which a screen reader reads the row by;
    // the alias column before it is all but hidden.
    const QModelIndex index = m_model->indexOfGridRow(row).siblingAtColumn(NameColumn);
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
    m_picturePanel->hidePhoto();
    m_photoEdit->clear();
}
