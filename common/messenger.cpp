#include "translator.h"

// The message box dialog comes with the window layer; until then every
// question is answered as if the user cancelled.
STDMETHODIMP CCoTranslator::MessageBox(unsigned long* a_ulRetVal, unsigned long, VARIANT, VARIANT, VARIANT)
{
    if (a_ulRetVal) *a_ulRetVal = 0x400;
    return S_OK;
}
