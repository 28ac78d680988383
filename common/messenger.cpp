// IMessenger of the translator object: the system's own message box, with
// more buttons than the system's, a check box and texts from the common
// section of the language file.
#include "translator.h"
#include "message_box_ids.h"
#include <message_box.h>
#include <com/guard.h>
#include <com/text.h>
#include <window/dialog.h>
#include <window/gdi.h>
#include <algorithm>
#include <iterator>

namespace {

// Common-section identifiers of the application's name and of the caption
// of Yes; the other captions follow in the order of the button bits.
const unsigned long kAppNameId = 1;
const unsigned long kFirstButtonTextId = 5;

struct ButtonRow {
    int id;
    unsigned long bit;
};

// The buttons in layout order.
const ButtonRow kButtons[] = {
    {IDC_MBX_YES, MBX_YES},       {IDC_MBX_YESTOALL, MBX_YESTOALL},   {IDC_MBX_NO, MBX_NO},
    {IDC_MBX_NOTOALL, MBX_NOTOALL}, {IDC_MBX_SKIP, MBX_SKIP},         {IDC_MBX_SKIPALL, MBX_SKIPALL},
    {IDC_MBX_RETRY, MBX_RETRY},   {IDC_MBX_IGNORE, MBX_IGNORE},       {IDC_MBX_IGNOREALL, MBX_IGNOREALL},
    {IDC_MBX_OK, MBX_OK},         {IDC_MBX_CANCEL, MBX_CANCEL},
};

const ButtonRow kIcons[] = {
    {IDC_MBX_ERROR, MBX_ICONERROR},
    {IDC_MBX_WARNING, MBX_ICONWARNING},
    {IDC_MBX_INFORMATION, MBX_ICONINFORMATION},
    {IDC_MBX_QUESTION, MBX_ICONQUESTION},
};

// Caption identifier of a button bit: 5 for Yes up to 15 for Cancel.
unsigned long ButtonTextId(unsigned long bit)
{
    unsigned long id = kFirstButtonTextId;
    for (unsigned long b = 1; b < bit; b <<= 1) ++id;
    return id;
}

// Pixels of the layout.
const int kMargin = 15;     // left and right of the message and the button row
const int kIconMargin = 57; // message left edge beside an icon
const int kGap = 10;        // between the rows
const int kMinMessageHeight = 32;
const int kNarrowRow = 384; // rows up to this get the 400-pixel box
const int kNarrowWidth = 400;

class CMessageBoxDialog : public wnd::DialogImpl<CMessageBoxDialog> {
public:
    enum { IDD = IDD_MESSAGEBOX };

    CMessageBoxDialog(CCoTranslator& translator, unsigned long type, std::string caption, std::string message,
                      std::string checkText)
        : m_translator(translator), m_type(type), m_caption(std::move(caption)), m_message(std::move(message)),
          m_checkText(std::move(checkText))
    {
    }

    WND_MSG_MAP_BEGIN(CMessageBoxDialog)
        WND_MESSAGE(WM_INITDIALOG, OnInitDialog)
        WND_COMMAND_RANGE(IDC_MBX_YES, IDC_MBX_OK, OnButton)
        WND_COMMAND(IDCANCEL, OnCancel)
    WND_MSG_MAP_END()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
    {
        SetText(m_caption);
        const int width = ShowButtons();
        int bottom = PlaceMessage(width);
        bottom = PlaceButtons(width, bottom);
        bottom = PlaceCheckBox(bottom);
        TranslateButtons();
        SizeToClient(width, bottom);
        CenterWindow();
        FocusDefaultButton();
        return FALSE;  // the focus is set
    }

    // Shows the buttons of the type (Ok when none); returns the client width.
    int ShowButtons()
    {
        m_shown = m_type & (MBX_CHECKBOX - 1);
        if (!m_shown) m_shown = MBX_OK;
        int count = 0;
        for (const ButtonRow& b : kButtons) {
            bool shown = (m_shown & b.bit) != 0;
            GetDlgItem(b.id).Show(shown);
            count += shown;
        }
        m_buttonWidth = wnd::Width(GetDlgItem(IDC_MBX_OK).GetRectInParent());
        const int row = count * (m_buttonWidth + kMargin);
        m_rowWidth = row - kMargin;
        return row <= kNarrowRow ? kNarrowWidth : row + kMargin;
    }

    // Shows the icons and fits the message beside them; returns its bottom.
    int PlaceMessage(int width)
    {
        bool icon = false;
        for (const ButtonRow& i : kIcons) {
            bool shown = (m_type & i.bit) != 0;
            GetDlgItem(i.id).Show(shown);
            icon = icon || shown;
        }
        RECT r = {icon ? kIconMargin : kMargin, kGap, width - kMargin, 110};
        HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
        {
            wnd::ClientDC dc(m_hWnd);
            wnd::Selection selection(dc, font);
            dc.DrawText(m_message.c_str(), r, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        }
        wnd::Window text = GetDlgItem(IDC_MBX_MESSAGE);
        text.SetFont(font, false);  // drawn in the font it was measured in
        text.Move(r);
        text.SetText(m_message);
        return std::max<int>(r.bottom, r.top + kMinMessageHeight);
    }

    // Lines the shown buttons up centred below the message; returns the row's bottom.
    int PlaceButtons(int width, int messageBottom)
    {
        const int top = messageBottom + kGap;
        int left = (width - m_rowWidth) / 2;
        int height = 0;
        for (const ButtonRow& b : kButtons) {
            if (!(m_shown & b.bit)) continue;
            wnd::Window button = GetDlgItem(b.id);
            RECT r = button.GetRectInParent();
            height = wnd::Height(r);
            button.Move(left, top, wnd::Width(r), height);
            left += m_buttonWidth + kMargin;
        }
        return top + height + kGap;
    }

    int PlaceCheckBox(int bottom)
    {
        wnd::Window check = GetDlgItem(IDC_MBX_CHECK);
        if (!(m_type & MBX_CHECKBOX)) {
            check.Show(false);
            return bottom;
        }
        RECT r = check.GetRectInParent();
        const int height = wnd::Height(r);
        bottom += height + kGap;
        check.Move(r.left, bottom - height - kGap, wnd::Width(r), height);
        check.SetText(m_checkText);
        check.Show(true);
        return bottom;
    }

    void TranslateButtons()
    {
        for (const ButtonRow& b : kButtons) {
            std::string text = m_translator.CommonText(ButtonTextId(b.bit));
            if (!text.empty()) GetDlgItem(b.id).SetText(text);
        }
    }

    void SizeToClient(int width, int height)
    {
        RECT r = {0, 0, width, height};
        ::AdjustWindowRectEx(&r, GetStyle(), FALSE, GetExStyle());
        Resize(wnd::Width(r), wnd::Height(r));
    }

    // Enter answers with a shown button: the first of Yes, Retry and Ok,
    // else the first one shown.
    void FocusDefaultButton()
    {
        int id = 0;
        for (unsigned long bit : {MBX_YES, MBX_RETRY, MBX_OK}) {
            if ((m_shown & bit) && !id) id = IdOf(bit);
        }
        for (const ButtonRow& b : kButtons) {
            if ((m_shown & b.bit) && !id) id = b.id;
        }
        SendMessage(DM_SETDEFID, static_cast<WPARAM>(id));
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(HWND(GetDlgItem(id))), TRUE);
    }

    static int IdOf(unsigned long bit)
    {
        for (const ButtonRow& b : kButtons) {
            if (b.bit == bit) return b.id;
        }
        return 0;
    }

    unsigned long CheckBit() const
    {
        return ::IsDlgButtonChecked(m_hWnd, IDC_MBX_CHECK) == BST_CHECKED ? MBX_CHECKBOX : 0;
    }

    LRESULT OnButton(WORD, WORD id, HWND, BOOL&)
    {
        auto row = std::find_if(std::begin(kButtons), std::end(kButtons), [id](const ButtonRow& b) { return b.id == id; });
        // A hidden button cannot answer (commands may come without a click).
        if (row != std::end(kButtons) && (m_shown & row->bit)) EndDialog(row->bit | CheckBit());
        return 0;
    }

    // Escape and the close box, whether Cancel is shown or not.
    LRESULT OnCancel(WORD, WORD, HWND, BOOL&)
    {
        EndDialog(MBX_CANCEL | CheckBit());
        return 0;
    }

    CCoTranslator& m_translator;
    const unsigned long m_type;
    const std::string m_caption, m_message, m_checkText;
    unsigned long m_shown = 0;
    int m_buttonWidth = 0;
    int m_rowWidth = 0;
};

// The string identifier a non-text VARIANT stands for.
unsigned long StringId(const VARIANT& v)
{
    switch (V_VT(&v)) {
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT:
        return V_UI4(&v);
    default: {
        VARIANT id;
        ::VariantInit(&id);
        if (FAILED(::VariantChangeType(&id, const_cast<VARIANT*>(&v), 0, VT_UI4))) return 0;
        return V_UI4(&id);
    }
    }
}

bool IsText(const VARIANT& v) { return V_VT(&v) == VT_BSTR; }

std::string Text(CCoTranslator& translator, const VARIANT& v)
{
    return IsText(v) ? com::AnsiFromBstr(V_BSTR(&v)) : translator.CommonText(StringId(v));
}

// A caption by identifier reads "<application> - <text>"; a missing part
// and its dash are left out.
std::string Caption(CCoTranslator& translator, const VARIANT& v)
{
    if (IsText(v)) return com::AnsiFromBstr(V_BSTR(&v));
    std::string name = translator.CommonText(kAppNameId);
    std::string text = translator.CommonText(StringId(v));
    if (name.empty() || text.empty()) return name + text;
    return name + " - " + text;
}

}  // namespace

STDMETHODIMP CCoTranslator::MessageBox(unsigned long* a_ulRetVal, unsigned long a_ulType, VARIANT a_varCaption,
                                       VARIANT a_varMessage, VARIANT a_varCheckText)
{
    return com::Guarded("CCoTranslator::MessageBox", [&]() -> HRESULT {
        HWND owner;
        {
            com::ObjectLock<CCoTranslator> lock(this);
            owner = m_mainWnd;
        }
        CMessageBoxDialog dialog(*this, a_ulType, Caption(*this, a_varCaption), Text(*this, a_varMessage),
                                 Text(*this, a_varCheckText));
        INT_PTR result = dialog.DoModal(owner);
        // A box that never showed answers as if cancelled: -1 read as bits
        // would be every button at once, "Yes" among them.
        if (result == -1 || result == 0) result = MBX_CANCEL;
        if (a_ulRetVal) *a_ulRetVal = static_cast<unsigned long>(result);
        return S_OK;
    });
}
