#pragma once
// The About window: a picture, a title, a copyright line, web and mail links,
// a notice and "OK". Its owner is disabled while it is open.

#include <memory>
#include <string>

#include "Button.h"
#include "CellControl.h"
#include "FontSpec.h"
#include "Form.h"
#include "Image.h"
#include "Label.h"
#include "PanelChildren.h"
#include "TextBox.h"

namespace MyGame {

class FormAbout : public NBUtility::Form {
public:
    explicit FormAbout(NBUtility::Form* owner);
    ~FormAbout() override;

    std::int32_t bitmapId = 0;
    // The same picture drawn at 1.5 and 2 times; 0 when there is none.
    std::int32_t bitmapId150 = 0;
    std::int32_t bitmapId200 = 0;
    std::int32_t bitmapWidth = 0;
    std::int32_t bitmapHeight = 0;
    std::string titleText;
    std::string copyrightText;
    std::string noticeText;
    std::string webAddress;

    // Creates the window when it has none, then shows it without activation.
    void ShowAbout();
    void OnShow() override;
    void DisposeElements() override;

    // The mail link's text: the web address with "http://www." made "info@".
    static std::string MailAddressFor(const std::string& web);

private:
    void BuildControls();
    bool AboutClosing();
    bool OnAboutKey(std::int32_t character);
    void CloseAbout(NBUtility::GUIElement* button);
    void OnLinkClick(NBUtility::GUIElement* element);
    void ConfigureLink(NBUtility::CellControl& link, const std::string& caption, std::int32_t left,
                       std::int32_t top, std::int32_t linkWidthPixels);
    std::int32_t LinkTextWidth(const std::string& caption);
    void BindKeys(NBUtility::GUIElement& element);
    std::int32_t BitmapForDpi() const;
    void OnDpiChanged();

    NBUtility::Form* owner; // not owned
    std::unique_ptr<NBUtility::FontSpec> titleFont;
    std::unique_ptr<NBUtility::FontSpec> linkFont;
    std::unique_ptr<NBUtility::FontSpec> windowFont;
    std::unique_ptr<NBUtility::Image> logoImage;
    std::unique_ptr<NBUtility::Label> titleLabel;
    std::unique_ptr<NBUtility::Label> copyrightLabel;
    std::unique_ptr<NBUtility::PanelChildren> logoPanel;
    std::unique_ptr<NBUtility::TextBox> noticeBox;
    std::unique_ptr<NBUtility::Button> okButton;
    std::unique_ptr<NBUtility::CellControl> linkWeb;
    std::unique_ptr<NBUtility::CellControl> linkMail;
};

} // namespace MyGame
