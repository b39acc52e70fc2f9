#pragma once
// The main window's controls by name, for the program and for whatever drives
// it from outside: each control's window carries its name as a window
// property, so that a reordered build cannot point a driver at another one.

#include <cstdint>

namespace MyGame {
namespace MainControls {

enum Control {
    LogoImage,
    InfoButton,
    CloseButton,
    StartButton,
    ModeTabs,
    SourceLabel,
    SourceBox,
    SourceSelectButton,
    SameFolderOption,
    SpecifyPathOption,
    DestLabel,
    DestBox,
    DestSelectButton,
    VerifyCheck,
    StrongCheck,
    PasswordLabel,
    PasswordBox,
    ShowButton,
    ConfirmLabel,
    ConfirmBox,
    StatusLabel,
    ProgressBar,
    ControlCount
};

// The window property that holds a control's name plus one (0 is no name).
constexpr wchar_t controlProperty[] = L"NBNimbra.Control";

// The menu items have no windows: the main window carries each item's command
// id in a property of the item's name.
enum MenuItem { ExitItem, GuideItem, HomeItem, MenuItemCount };
constexpr const wchar_t* menuItemProperties[MenuItemCount] = {
    L"NBNimbra.ExitItem", L"NBNimbra.GuideItem", L"NBNimbra.HomeItem"};

} // namespace MainControls
} // namespace MyGame
