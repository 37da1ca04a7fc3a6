#pragma once

#include <QProxyStyle>

namespace kb::platform {

// The classic bevelled "Windows" style, with the extension arrows of menu
// bars and tool bars drawn here: Qt's own are read from PNG files, and
// reading the first of them loads and probes every image plugin, which the
// game window's menu bar made part of every start.
class ClassicStyle final : public QProxyStyle {
public:
    ClassicStyle();

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace kb::platform
