#include "Settings.h"

#include "platform/text/AnsiText.h"
#include "platform/ui/Fonts.h"
#include "platform/ui/ShowHandler.h"
#include "platform/ui/WindowPlacement.h"
#include "resources/GameArt.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>
#include <charconv>
#include <string>

namespace {

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, const QRect& place)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Right-aligned beside its field, a caption wider than its place (a
    // larger font at some scales) grows to the left rather than losing its
    // first letter, but stops short of the dialog's edge and then takes some
    // of the gap before its field.
    constexpr int edgeMargin = 3;
    constexpr int fieldGapUsable = 6;
    const int wider = std::max(0, label->sizeHint().width() - place.width());
    const int leftward = std::min(wider, std::max(0, place.left() - edgeMargin));
    const int rightward = std::min(wider - leftward, fieldGapUsable);
    label->setGeometry(place.adjusted(-leftward, 0, rightward, 0));
    return label;
}

QLineEdit* addBox(QWidget* parent, const char* name, int maxLength, const QRect& place)
{
    auto* box = new QLineEdit(QStringLiteral("0"), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setMaxLength(maxLength);
    box->setGeometry(place);
    return box;
}

} // namespace

namespace kb::game {

int NumberOrDefault(const QString& text, int defaultValue)
{
    const std::string bytes = kb::platform::bytesFromText(text);
    const char* first = bytes.data();
    const char* last = first + bytes.size();
    if (first != last && *first == '+')
        ++first;
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last || first == last)
        return defaultValue;
    return value;
}

} // namespace kb::game

TSettingsForm::TSettingsForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("SettingsForm"));
    setWindowTitle(QStringLiteral("Settings"));
    setFont(kb::platform::layoutFont(QStringLiteral("MS Sans Serif"), 11));
    setFixedSize(194, 98);

    auto* columns = addLabel(this, "Label1", QStringLiteral("&Columns"), {4, 10, 40, 13});
    m_widthBox = addBox(this, "WidthBox", 2, {52, 8, 41, 21});
    auto* rows = addLabel(this, "Label2", QStringLiteral("&Rows"), {17, 34, 27, 13});
    m_heightBox = addBox(this, "HeightBox", 2, {52, 32, 41, 21});
    addLabel(this, "Label3", QStringLiteral("Objects"), {96, 10, 36, 13});
    m_colorsBox = addBox(this, "ColorsBox", 1, {140, 8, 41, 21});
    m_colorsBox->setAccessibleName(QStringLiteral("Objects")); // its caption has no key to tie them
    columns->setBuddy(m_widthBox);
    rows->setBuddy(m_heightBox);

    auto* ok = new QPushButton(kb::resources::okGlyph(), QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    ok->setGeometry(14, 62, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* cancel = new QPushButton(kb::resources::cancelGlyph(), QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("BitBtn2"));
    cancel->setGeometry(100, 62, 75, 25);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(m_widthBox, m_heightBox);
    setTabOrder(m_heightBox, m_colorsBox);
    setTabOrder(m_colorsBox, ok);
    setTabOrder(ok, cancel);
}

void TSettingsForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    kb::platform::centreAtFirstShow(*this, *event);
    kb::platform::runShowHandler(*this, *event, [this] { FormShow(); });
}

void TSettingsForm::FormShow()
{
    m_widthBox->setFocus();
}
