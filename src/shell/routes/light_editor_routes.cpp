#include "shell/routes/light_editor_routes.h"

#include <functional>

#include "controls/control_lookup.h"
#include "devices/pages/device_page.h"
#include "devices/pages/page_editors.h"
#include "editors/lighting/light_control_ui.h"
#include "shell/main_wnd.h"

namespace rerov::shell {
namespace {

using lighting::Channel;
using lighting::CLightControlUI;

constexpr int kKeyboardKind = 1;

// The lighting editor of the current page, with the page's editors; null when none.
struct CurrentEditor {
    PageEditors* editors = nullptr;
    CLightControlUI* editor = nullptr;
};

CurrentEditor FindCurrentEditor(const CMainWnd& window) {
    CDevicePageUI* page = window.CurrentDevicePage();
    if (page == nullptr || page->Editors() == nullptr) return {};
    CLightControlUI* editor = page->Editors()->LightEditor();
    if (editor == nullptr) return {};
    return {page->Editors(), editor};
}

// One field change: the record of the page with `change` applied goes back to the page.
void ChangeLighting(const CMainWnd& window,
                    const std::function<void(CLightControlUI&, LightSetting&)>& change) {
    const CurrentEditor current = FindCurrentEditor(window);
    if (current.editor == nullptr) return;
    LightSetting setting = current.editors->Lighting();
    change(*current.editor, setting);
    current.editors->StoreLighting(setting);
}

// The same for the audio-light record, read from the editor's controls first.
void ChangeAudioLighting(const CMainWnd& window,
                         const std::function<void(AudioLightSetting&)>& change) {
    const CurrentEditor current = FindCurrentEditor(window);
    if (current.editor == nullptr) return;
    AudioLightSetting setting = current.editor->ReadAudioLightSetting(false);
    change(setting);
    current.editors->StoreAudioLighting(setting);
}

int ChannelByte(Channel channel) { return LightSetting::kRed + int(channel); }

// A single colour replaces the cycling through seven colours.
void SetColour(CLightControlUI& editor, LightSetting& setting, quint32 argb) {
    auto& b = setting.bytes;
    b[LightSetting::kRed] = uint8_t((argb >> 16) & 0xFF);
    b[LightSetting::kGreen] = uint8_t((argb >> 8) & 0xFF);
    b[LightSetting::kBlue] = uint8_t(argb & 0xFF);
    b[LightSetting::kMultiColor] = 0;
    editor.ShowColour(b[LightSetting::kRed], b[LightSetting::kGreen], b[LightSetting::kBlue]);
    editor.SetSevenColour(false);
}

// The first byte of the audio colour being edited.
int EditedAudioColour(const AudioLightSetting& setting) {
    return setting.bytes[AudioLightSetting::kColourType] != 0 ? AudioLightSetting::kForeground
                                                              : AudioLightSetting::kBackground;
}

// Replaces the edited audio colour; a new foreground ends the seven-colour cycling when
// the colour really changed.
void SetAudioColour(AudioLightSetting& setting, quint32 argb) {
    auto& b = setting.bytes;
    const auto first = std::size_t(EditedAudioColour(setting));
    const uint8_t rgb[3] = {uint8_t((argb >> 16) & 0xFF), uint8_t((argb >> 8) & 0xFF),
                            uint8_t(argb & 0xFF)};
    const bool changed = b[first] != rgb[0] || b[first + 1] != rgb[1] || b[first + 2] != rgb[2];
    for (std::size_t i = 0; i < 3; ++i) b[first + i] = rgb[i];
    if (first == std::size_t(AudioLightSetting::kForeground) && changed) {
        b[AudioLightSetting::kSevenColour] = 0;
    }
}

// An RGB edit was left (or Enter pressed in it): its number, clamped, becomes the channel.
// Text that is no number changes nothing: the edit shows the stored colour again.
void CommitColourEdit(const CMainWnd& window, Channel channel) {
    const CurrentEditor current = FindCurrentEditor(window);
    if (current.editor == nullptr) return;
    int value = 0;
    if (!lighting::ParseChannelText(current.editor->EditText(channel), &value)) {
        const auto& b = current.editors->Lighting().bytes;
        current.editor->ShowColour(b[LightSetting::kRed], b[LightSetting::kGreen],
                                   b[LightSetting::kBlue]);
        return;
    }
    ChangeLighting(window, [channel, value](CLightControlUI& editor, LightSetting& setting) {
        auto& b = setting.bytes;
        b[std::size_t(ChannelByte(channel))] = uint8_t(value);
        SetColour(
            editor, setting,
            lighting::Argb(b[LightSetting::kRed], b[LightSetting::kGreen], b[LightSetting::kBlue]));
    });
}

void CommitAudioEdit(const CMainWnd& window, Channel channel) {
    const CurrentEditor current = FindCurrentEditor(window);
    if (current.editor == nullptr) return;
    int value = 0;
    if (!lighting::ParseChannelText(current.editor->AudioEditText(channel), &value)) {
        current.editor->ShowAudioLightSetting(current.editors->AudioLighting());
        return;
    }
    ChangeAudioLighting(window, [channel, value](AudioLightSetting& setting) {
        uint8_t& byte = setting.bytes[std::size_t(EditedAudioColour(setting) + int(channel))];
        const bool changed = byte != uint8_t(value);
        byte = uint8_t(value);
        // Only a foreground that really changed ends the seven-colour cycling.
        if (changed && EditedAudioColour(setting) == AudioLightSetting::kForeground) {
            setting.bytes[AudioLightSetting::kSevenColour] = 0;
        }
    });
}

// The index after the last '_' of a control name ("color_option_12" gives 12), -1 without.
int IndexOf(const ui::Notification& msg) {
    const QString name = msg.SenderName();
    bool ok = false;
    const int index = name.mid(name.lastIndexOf(u'_') + 1).toInt(&ok);
    return ok ? index : -1;
}

constexpr const char* kEdits[] = {"deng_edit_R", "deng_edit_G", "deng_edit_B"};
constexpr const char* kAudioEdits[] = {"deng_audioedit_R", "deng_audioedit_G", "deng_audioedit_B"};

void AddComboRows(CMainWnd& window) {
    ui::NotifyPump& combos = window.Routes(ui::notify_type::kItemSelect);
    const QString type = ui::notify_type::kItemSelect;
    combos.On(type, QStringLiteral("light_combo_modeSelect"),
              [&window](const ui::Notification& msg) {
                  ChangeLighting(window, [&msg](CLightControlUI& editor, LightSetting& s) {
                      if (msg.wParam < 0) return;
                      editor.ApplyModeLayout(editor.DeviceKind(), int(msg.wParam));
                      s.bytes[LightSetting::kMode] = uint8_t(msg.wParam);
                  });
              });
    combos.On(type, QStringLiteral("light_combo_custommodeSelect"),
              [&window](const ui::Notification& msg) {
                  const CurrentEditor current = FindCurrentEditor(window);
                  if (current.editor == nullptr || msg.wParam < 0 ||
                      current.editor->DeviceKind() != kKeyboardKind) {
                      return;
                  }
                  current.editors->StoreCustomGroup(int(msg.wParam));
                  ChangeLighting(window, [&msg](CLightControlUI&, LightSetting& s) {
                      s.bytes[LightSetting::kCustomGroup] = uint8_t(msg.wParam);
                  });
              });
    combos.On(type, QStringLiteral("light_combo_ZZCCmodeSelect"),
              [&window](const ui::Notification& msg) {
                  ChangeLighting(window, [&msg](CLightControlUI& editor, LightSetting& s) {
                      if (msg.wParam < 0 || editor.DeviceKind() != kKeyboardKind) return;
                      s.bytes[LightSetting::kZzccLedMode] = uint8_t(msg.wParam);
                  });
              });
    combos.On(type, QStringLiteral("light_combo_audiomodeSelect"),
              [&window](const ui::Notification&) {
                  ChangeAudioLighting(window, [](AudioLightSetting&) {});
              });
}

void AddSliderAndOptionRows(CMainWnd& window) {
    ui::NotifyPump& sliders = window.Routes(ui::notify_type::kValueChanged);
    const QString valueChanged = ui::notify_type::kValueChanged;
    sliders.On(valueChanged, QStringLiteral("deng_light_slider"),
               [&window](const ui::Notification&) {
                   ChangeLighting(window, [](CLightControlUI& editor, LightSetting& s) {
                       s.bytes[LightSetting::kBrightness] = uint8_t(editor.Brightness());
                   });
               });
    sliders.On(valueChanged, QStringLiteral("deng_speed_slider"),
               [&window](const ui::Notification&) {
                   ChangeLighting(window, [](CLightControlUI& editor, LightSetting& s) {
                       s.bytes[LightSetting::kSpeed] = uint8_t(editor.Speed());
                   });
               });

    ui::NotifyPump& options = window.Routes(ui::notify_type::kSelectChanged);
    const QString selectChanged = ui::notify_type::kSelectChanged;
    for (const auto& [name, flag] :
         {std::pair{"deng_FXL_check", 1}, std::pair{"deng_FXR_check", 0}}) {
        options.On(selectChanged, QLatin1String(name),
                   [&window, flag](const ui::Notification& msg) {
                       if (msg.wParam == 0) return;
                       ChangeLighting(window, [flag](CLightControlUI&, LightSetting& s) {
                           s.bytes[LightSetting::kDirection] = uint8_t(flag);
                       });
                   });
    }
    options.On(selectChanged, QStringLiteral("deng_7color_check"),
               [&window](const ui::Notification& msg) {
                   ChangeLighting(window, [&msg](CLightControlUI&, LightSetting& s) {
                       s.bytes[LightSetting::kMultiColor] = msg.wParam != 0 ? 1 : 0;
                   });
               });
    options.On(selectChanged, QStringLiteral("deng_7audiocolor_check"),
               [&window](const ui::Notification&) {
                   ChangeAudioLighting(window, [](AudioLightSetting&) {});
               });
    // Choosing which audio colour to edit shows that colour.
    for (const char* name : {"audio_BkColor_check", "audio_FgColor_check"}) {
        options.On(selectChanged, QLatin1String(name), [&window](const ui::Notification& msg) {
            if (msg.wParam != 0) ChangeAudioLighting(window, [](AudioLightSetting&) {});
        });
    }
}

void AddColourRows(CMainWnd& window) {
    for (const QString& type : {ui::notify_type::kKillFocus, ui::notify_type::kReturn}) {
        ui::NotifyPump& edits = window.Routes(type);
        for (int i = 0; i < 3; ++i) {
            const auto channel = Channel(i);
            edits.On(type, QLatin1String(kEdits[i]), [&window, channel](const ui::Notification&) {
                CommitColourEdit(window, channel);
            });
            edits.On(
                type, QLatin1String(kAudioEdits[i]),
                [&window, channel](const ui::Notification&) { CommitAudioEdit(window, channel); });
        }
    }
    ui::NotifyPump& colours = window.Routes(ui::notify_type::kColorChanged);
    const QString colorChanged = ui::notify_type::kColorChanged;
    colours.On(colorChanged, QStringLiteral("deng_Color_Pallet"),
               [&window](const ui::Notification&) {
                   ChangeLighting(window, [](CLightControlUI& editor, LightSetting& s) {
                       SetColour(editor, s, editor.PaletteColor());
                   });
               });
    colours.On(colorChanged, QStringLiteral("deng_audioColor_Pallet"),
               [&window](const ui::Notification&) {
                   const CurrentEditor current = FindCurrentEditor(window);
                   if (current.editor == nullptr) return;
                   const quint32 colour = current.editor->AudioPaletteColor();
                   ChangeAudioLighting(
                       window, [colour](AudioLightSetting& s) { SetAudioColour(s, colour); });
               });

    ui::NotifyPump& clicks = window.Routes(ui::notify_type::kClick);
    const QString click = ui::notify_type::kClick;
    clicks.OnPrefix(click, QStringLiteral("color_option_"), [&window](const ui::Notification& msg) {
        const int n = IndexOf(msg);
        ChangeLighting(window, [n](CLightControlUI& editor, LightSetting& s) {
            if (n < 0 || n >= lighting::kSwatchCount) return;
            SetColour(editor, s, editor.SwatchColor(n));
        });
    });
    clicks.OnPrefix(click, QStringLiteral("audiocolor_option_"),
                    [&window](const ui::Notification& msg) {
                        const CurrentEditor current = FindCurrentEditor(window);
                        const int n = IndexOf(msg);
                        if (current.editor == nullptr || n < 0) return;
                        const quint32 colour = current.editor->AudioSwatchColor(n);
                        ChangeAudioLighting(
                            window, [colour](AudioLightSetting& s) { SetAudioColour(s, colour); });
                    });
    clicks.On(click, QStringLiteral("Close_bkColor_btn"), [&window](const ui::Notification&) {
        ChangeAudioLighting(window, [](AudioLightSetting& s) {
            for (int i = 0; i < 3; ++i)
                s.bytes[std::size_t(AudioLightSetting::kBackground + i)] = 0;
        });
    });
}

}  // namespace

void AddLightEditorRoutes(CMainWnd& window) {
    AddComboRows(window);
    AddSliderAndOptionRows(window);
    AddColourRows(window);
}

}  // namespace rerov::shell
