#pragma once
// The position setting of a form and the centring that follows it. Pixels, screen
// coordinates, frame included. UI thread only.

class QWidget;

namespace corvanel::window {

enum class FormPositionSetting {
    Designed,       // stays where it was put
    ScreenCenter,   // centred on the screen when first shown
    MainFormCenter, // centred over the application's main form
    OwnerFormCenter // centred over its owner, when the owner is a form
};

void SetFormPositionSetting(QWidget& form, FormPositionSetting setting);
FormPositionSetting GetFormPositionSetting(const QWidget& form);

// The application's main form (the first one created); nullptr before it exists.
void SetMainForm(QWidget* form);
QWidget* MainForm();

// Centres `form` over its reference form chosen by its position setting, keeping its size,
// in one move. Halves round to even; the result is not clipped to the screen. Any other
// setting, or no reference form, leaves it where it is.
void UpdateFormPosition(QWidget& form);

// Centres a top-level form on its screen's available area.
void CentreOnScreen(QWidget& form);

} // namespace corvanel::window
