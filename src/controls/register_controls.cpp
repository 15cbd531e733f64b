#include "controls/audio_record.h"
#include "controls/chart_view.h"
#include "controls/circle_progress.h"
#include "controls/cloud_share_list_item.h"
#include "controls/color_palette.h"
#include "controls/combo_edit_container_element.h"
#include "controls/control_factory.h"
#include "controls/device_key_button.h"
#include "controls/device_picture.h"
#include "controls/hand_img_button.h"
#include "controls/hand_img_select_button.h"
#include "controls/list_base.h"
#include "controls/option_ui.h"
#include "controls/redio_macro_button.h"
#include "controls/select_panel.h"
#include "controls/wnd_ui.h"

namespace rerov::ui {
namespace {
template <typename T>
QWidget* Make() {
    return new T();
}

struct ClassRow {
    const char* name;
    QWidget* (*create)();
};
// The class names layouts use for the toolkit's controls.
constexpr ClassRow kClasses[] = {
    {"CCircleProgressUI", &Make<CCircleProgressUI>},
    {"CChartViewUI", &Make<CChartViewUI>},
    {"CWndUI", &Make<CWndUI>},
    {"CSelectPanelUI", &Make<CSelectPanelUI>},
    {"CDeviceKeyButtonUI", &Make<CDeviceKeyButtonUI>},
    {"CDevicePictureUI", &Make<CDevicePictureUI>},
    {"CCloudShareListItemUI", &Make<CCloudShareListItemUI>},
    {"CComboEditContainerElementUI", &Make<CComboEditContainerElementUI>},
    {"CHandImgButtonUI", &Make<CHandImgButtonUI>},
    {"CHandImgSelectButtonUI", &Make<CHandImgSelectButtonUI>},
    {"CRedioMacroButtonUI", &Make<CRedioMacroButtonUI>},
    {"CAudioRecordUI", &Make<CAudioRecordUI>},
    {"CColorPaletteUI", &Make<CColorPaletteUI>},
    // Base classes for plain layout use.
    {"CControlUI", &Make<CControlUI>},
    {"CLabelUI", &Make<CLabelUI>},
    {"CButtonUI", &Make<CButtonUI>},
    {"CProgressUI", &Make<CProgressUI>},
    {"CContainerUI", &Make<CContainerUI>},
    {"CVerticalLayoutUI", &Make<CVerticalLayoutUI>},
    {"CListUI", &Make<CListUI>},
    {"CListContainerElementUI", &Make<CListContainerElementUI>},
    {"COptionUI", &Make<COptionUI>},
    {"CTabLayoutUI", &Make<CTabLayoutUI>},
    {"CHorizontalLayoutUI", &Make<CHorizontalLayoutUI>},
};
}  // namespace

void RegisterCustomControls() {
    for (const ClassRow& row : kClasses) {
        ControlFactory::Instance().RegistControl(QString::fromLatin1(row.name), row.create);
    }
}

std::vector<TagRow> CustomControlTagRows() {
    return {
        {QStringLiteral("CircleProgress"), &Make<CCircleProgressUI>, {}},
        {QStringLiteral("SelectPanel"), &Make<CSelectPanelUI>, {}},
        {QStringLiteral("DeviceKeyButton"), &Make<CDeviceKeyButtonUI>, {}},
        {QStringLiteral("HandImgButton"), &Make<CHandImgButtonUI>, {}},
        {QStringLiteral("AudioRecord"), &Make<CAudioRecordUI>, {}},
        {QStringLiteral("HandImgSelectButton"), &Make<CHandImgSelectButtonUI>, {}},
        {QStringLiteral("RedioMacroButton"), &Make<CRedioMacroButtonUI>, {}},
        {QStringLiteral("ComboEditContainerElement"), &Make<CComboEditContainerElementUI>, {}},
    };
}

}  // namespace rerov::ui
