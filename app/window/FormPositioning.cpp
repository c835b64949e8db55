#include "app/window/FormPositioning.h"

#include "app/logic/FormPosition.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QVariant>
#include <QWidget>

namespace corvanel::window {

namespace {
constexpr const char* SettingProperty = "corvanelFormPosition";

QPointer<QWidget>& MainFormPointer() {
    static QPointer<QWidget> form;
    return form;
}

FormRect FrameOf(const QWidget& form) {
    const QRect frame = form.frameGeometry();
    return {frame.left(), frame.top(), frame.width(), frame.height()};
}
} // namespace

void SetFormPositionSetting(QWidget& form, FormPositionSetting setting) {
    form.setProperty(SettingProperty, static_cast<int>(setting));
}

FormPositionSetting GetFormPositionSetting(const QWidget& form) {
    const QVariant value = form.property(SettingProperty);
    return value.isValid() ? static_cast<FormPositionSetting>(value.toInt())
                           : FormPositionSetting::Designed;
}

void SetMainForm(QWidget* form) {
    MainFormPointer() = form;
}

QWidget* MainForm() {
    return MainFormPointer().data();
}

void UpdateFormPosition(QWidget& form) {
    const QWidget* reference = nullptr;
    switch (GetFormPositionSetting(form)) {
    case FormPositionSetting::MainFormCenter:
        reference = MainForm();
        break;
    case FormPositionSetting::OwnerFormCenter:
        if (const QWidget* owner = form.parentWidget(); owner && owner->isWindow())
            reference = owner;
        break;
    default:
        break;
    }
    if (!reference || reference == &form)
        return;
    const FormRect frame = FrameOf(form);
    const FormPoint at = CentredFormPosition(FrameOf(*reference), frame.width, frame.height);
    form.move(at.left, at.top);
}

void CentreOnScreen(QWidget& form) {
    const QScreen* screen = form.screen() ? form.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const FormPoint at =
        CentredFormPosition({area.left(), area.top(), area.width(), area.height()},
                            form.frameGeometry().width(), form.frameGeometry().height());
    form.move(at.left, at.top);
}

} // namespace corvanel::window
