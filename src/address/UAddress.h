#pragma once

#include "common/AddressGrid.h"
#include "launch/MailSender.h"
#include "platform/files/FileName.h"

#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTableView;
class QToolButton;

namespace kb::address {
class AddressEditSession;
class AddressTableModel;
class PhotoPanel;
} // namespace kb::address

// The address book: the Main page lists the addresses of the address file,
// the Edit page shows one of them in labelled fields. The file is read at
// every Show and written only by Exit. The window is created once and only
// hidden when closed, so the list is there at the next showing.
class TfmAddress : public QWidget {
    Q_OBJECT
public:
    explicit TfmAddress(kb::launch::MailSenderFactory mailerFactory, QWidget* parent = nullptr);
    ~TfmAddress() override;

    // Reads fileName into the list, then shows the window and brings it to
    // the front. Raises the file error when the file cannot be read; the
    // window is then not shown.
    void Show(const std::string& fileName);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* addPage(const char* name, const QString& spokenName);
    void createMainPage();
    void createEditPage();
    void createEditFields(QWidget* panel);
    void createPhotoPanel(QWidget* panel);
    QToolButton* addToolButton(QWidget* toolBar, const char* name, const QString& caption, int left);

    void FormShow();
    void FormClose();
    void Address_GridDblClick();
    void NewAddress_ButtonClick();
    void Del_ToolButtonClick();
    void Address_Exit_ButtonClick();
    void Address_Edit_Save_ButtonClick();
    void ToolButton2Click();
    void escapeEditPage();
    void Picture_PanelDblClick();
    void Photo_EditChange();
    void Send_Email_ButtonClick();

    void selectPage(QWidget* page);
    int selectedRow() const;
    int highlightedRow() const;
    void selectRow(int gridRow);
    void showHeadingAsTheGridHoldsIt();
    bool editsPending() const;
    void hidePhoto();

    static constexpr int editedColumnCount = 17; // columns 0..16 have a one-line field

    kb::launch::MailSenderFactory m_mailerFactory;
    std::unique_ptr<kb::launch::MailSender> m_mailer;
    std::string m_addressFileName;

    std::unique_ptr<kb::address::AddressEditSession> m_session;
    std::optional<kb::platform::FileName> m_chosenPhoto; // from the photo dialog

    kb::address::AddressTableModel* m_model = nullptr;
    QStackedWidget* m_notebook = nullptr;
    QWidget* m_mainPage = nullptr;
    QWidget* m_editPage = nullptr;
    QTableView* m_grid = nullptr;
    std::array<QLineEdit*, editedColumnCount> m_fieldOfColumn{};
    QComboBox* m_category = nullptr;
    QPlainTextEdit* m_memo = nullptr;
    QLineEdit* m_photoEdit = nullptr;
    QLineEdit* m_emailEdit = nullptr;
    kb::address::PhotoPanel* m_picturePanel = nullptr;
    QPushButton* m_sendButton = nullptr;
};
