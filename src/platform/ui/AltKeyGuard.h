#pragma once

#include <QObject>

namespace kb::platform {

// Keeps keys pressed with Alt from typing into the edit fields it watches.
// A field would otherwise insert the letter of an Alt combination that no
// visible control answers, such as the mnemonics of a hidden page.
class AltKeyGuard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void watch(QObject* field) { field->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kb::platform
