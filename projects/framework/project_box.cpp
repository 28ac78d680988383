#include "project_box.h"
#include "common.h"
#include <shared/services.h>
#include <shared/settings_helper.h>
#include <com/bstr.h>
#include <com/ptr.h>

unsigned long ShowProjectBox(const std::string& text, unsigned long type)
{
    com::ComPtr<IMessenger> messenger;
    if (!g_compTranslator ||
        FAILED(g_compTranslator->QueryInterface(IID_IMessenger, reinterpret_cast<void**>(&messenger))))
        return 0;
    VARIANT caption, message, check;
    VariantInit(&caption);
    VariantInit(&message);
    VariantInit(&check);
    caption.vt = VT_BSTR;
    caption.bstrVal = com::BstrFromAnsi(ApplicationTitle());
    message.vt = VT_BSTR;
    message.bstrVal = com::BstrFromAnsi(text);
    check.vt = VT_BSTR;
    check.bstrVal = com::BstrFromAnsi("");
    unsigned long result = 0;
    messenger->MessageBox(&result, type, caption, message, check);
    VariantClear(&caption);
    VariantClear(&message);
    VariantClear(&check);
    return result;
}
