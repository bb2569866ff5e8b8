#include "ControlClasses.h"

#include "BitmapButton.h"
#include "CheckBox.h"
#include "ControlCommon.h"
#include "GroupButton.h"
#include "ProgressBar.h"
#include "RoundRadio.h"
#include "Slider.h"
#include "StaticText.h"
#include "TextButton.h"

bool RegisterRoundRadioClass(HINSTANCE instance) {
    return RegisterControlClass(instance, kRoundRadioClass, &RoundRadio::WindowProc);
}

bool RegisterCheckBoxClass(HINSTANCE instance) {
    return RegisterControlClass(instance, kCheckBoxClass, &CheckBox::WindowProc);
}

bool RegisterSliderHandleClass(HINSTANCE instance) {
    return RegisterControlClass(instance, kSliderHandleClass, &SliderHandle::WindowProc);
}

bool RegisterTextButtonClass(HINSTANCE instance) {
    return RegisterControlClass(instance, kTextButtonClass, &TextButton::WindowProc);
}

bool RegisterBitmapButtonClass(HINSTANCE instance) {
    return RegisterControlClass(instance, kBitmapButtonClass, &BitmapButton::WindowProc);
}

bool RegisterStaticTextClass(HINSTANCE instance) {
    return RegisterControlClass(instance, kStaticTextClass, &StaticText::WindowProc);
}

bool RegisterGroupButtonClass(HINSTANCE instance) {
    return RegisterControlClass(instance, kGroupButtonClass, &GroupButton::WindowProc);
}

bool RegisterProgressBarClass(HINSTANCE instance) {
    return RegisterControlClass(instance, kProgressBarClass, &ProgressBar::WindowProc);
}
