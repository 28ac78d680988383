#include <gtest/gtest.h>
#include "common.h"
#include "data_object.h"
#include <com/ptr.h>
#include <shellapi.h>
#include <shlobj.h>
#include <cstring>
#include <string>

using com::ComPtr;

namespace {

const char kData[] = "C:\\disc\\file.txt";

ComPtr<IDataObject> NewDataObject()
{
    ComPtr<IDataObject> data;
    EXPECT_EQ(S_OK, com::CreateObject<CCommonDataObject>(IID_IDataObject, reinterpret_cast<void**>(&data)));
    return data;
}

FORMATETC Format(CLIPFORMAT cf, DWORD tymed = TYMED_HGLOBAL)
{
    return FORMATETC{cf, nullptr, DVASPECT_CONTENT, -1, tymed};
}

HGLOBAL NewBlock(const char* text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::strcpy(static_cast<char*>(GlobalLock(block)), text);
    GlobalUnlock(block);
    return block;
}

std::string BlockText(HGLOBAL block)
{
    const char* text = static_cast<const char*>(GlobalLock(block));
    if (!text) return "<unreadable>";
    std::string copy(text);
    GlobalUnlock(block);
    return copy;
}

bool IsLiveBlock(HGLOBAL block) { return GlobalFlags(block) != GMEM_INVALID_HANDLE; }

void Hold(IDataObject* data, HGLOBAL block, BOOL release)
{
    FORMATETC format = Format(CF_TEXT);
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block;
    ASSERT_EQ(S_OK, data->SetData(&format, &medium, release));
}

class CountingSink : public com::ObjectRoot<com::SingleThreadModel>, public IAdviseSink {
public:
    COM_INTERFACES_BEGIN(CountingSink)
        COM_INTERFACE(IAdviseSink)
    COM_INTERFACES_END()
    STDMETHODIMP_(void) OnDataChange(FORMATETC*, STGMEDIUM*) override {}
    STDMETHODIMP_(void) OnViewChange(DWORD, LONG) override {}
    STDMETHODIMP_(void) OnRename(IMoniker*) override {}
    STDMETHODIMP_(void) OnSave() override {}
    STDMETHODIMP_(void) OnClose() override {}
};

}  // namespace

// Each receiver frees what it gets; the object's own block outlives them all.
TEST(DataObject, ReceiversMayReleaseWhatTheyGet)
{
    ComPtr<IDataObject> data;
    ASSERT_EQ(S_OK, data.CoCreate(CLSID_CommonDataObject, IID_IDataObject, CLSCTX_INPROC_SERVER));
    HGLOBAL block = NewBlock(kData);
    Hold(data, block, FALSE);
    for (int i = 0; i < 2; ++i) {
        FORMATETC format = Format(CF_TEXT);
        STGMEDIUM medium = {};
        ASSERT_EQ(S_OK, data->GetData(&format, &medium));
        EXPECT_EQ(static_cast<DWORD>(TYMED_HGLOBAL), medium.tymed);
        EXPECT_EQ(kData, BlockText(medium.hGlobal));
        ReleaseStgMedium(&medium);
        EXPECT_EQ(kData, BlockText(block));
    }
    data.Reset();
    // Not the object's to free: the source still owns it.
    ASSERT_TRUE(IsLiveBlock(block));
    EXPECT_EQ(kData, BlockText(block));
    GlobalFree(block);
}

// With the release flag the object owns the medium: it frees it when it is
// replaced and when the object goes.
TEST(DataObject, OwnedMediaAreFreedOnReplaceAndRelease)
{
    ComPtr<IDataObject> data = NewDataObject();
    HGLOBAL first = NewBlock("first");
    HGLOBAL second = NewBlock("second");
    Hold(data, first, TRUE);
    Hold(data, second, TRUE);
    EXPECT_FALSE(IsLiveBlock(first));
    EXPECT_TRUE(IsLiveBlock(second));
    data.Reset();
    EXPECT_FALSE(IsLiveBlock(second));
}

// Setting the held medium again must not free it and keep it: whatever the
// flags, the block stays readable, and is freed once, when owned, at the end.
TEST(DataObject, SettingTheHeldMediumAgainKeepsItAlive)
{
    const BOOL flags[][2] = {{TRUE, TRUE}, {FALSE, TRUE}};
    for (const auto& flag : flags) {
        ComPtr<IDataObject> data = NewDataObject();
        HGLOBAL block = NewBlock(kData);
        Hold(data, block, flag[0]);
        Hold(data, block, flag[1]);
        ASSERT_TRUE(IsLiveBlock(block)) << flag[0];
        EXPECT_EQ(kData, BlockText(block));
        FORMATETC format = Format(CF_TEXT);
        STGMEDIUM medium = {};
        ASSERT_EQ(S_OK, data->GetData(&format, &medium));
        EXPECT_EQ(kData, BlockText(medium.hGlobal));
        ReleaseStgMedium(&medium);
        data.Reset();
        EXPECT_FALSE(IsLiveBlock(block)) << flag[0];
    }
}

// A dropped file list goes out as a copy that the receiver finishes.
TEST(DataObject, ADroppedFileListIsTheReceiversToFinish)
{
    const char files[] = "C:\\a.txt\0C:\\b.txt\0";
    HGLOBAL list = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + sizeof(files) + 1);
    auto* head = static_cast<DROPFILES*>(GlobalLock(list));
    head->pFiles = sizeof(DROPFILES);
    std::memcpy(head + 1, files, sizeof(files));
    GlobalUnlock(list);

    ComPtr<IDataObject> data = NewDataObject();
    FORMATETC format = Format(CF_HDROP);
    STGMEDIUM held = {};
    held.tymed = TYMED_HGLOBAL;
    held.hGlobal = list;
    ASSERT_EQ(S_OK, data->SetData(&format, &held, TRUE));
    for (int i = 0; i < 2; ++i) {
        STGMEDIUM medium = {};
        ASSERT_EQ(S_OK, data->GetData(&format, &medium));
        ASSERT_NE(list, medium.hGlobal);
        HDROP drop = static_cast<HDROP>(medium.hGlobal);
        ASSERT_EQ(2u, DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0));
        char name[MAX_PATH] = "";
        DragQueryFileA(drop, 1, name, sizeof(name));
        EXPECT_STREQ("C:\\b.txt", name);
        DragFinish(drop);
        EXPECT_TRUE(IsLiveBlock(list));
    }
}

// A stream goes out as the held one, with the object as its release owner.
TEST(DataObject, StreamsAreSharedWithTheObjectAsOwner)
{
    ComPtr<IDataObject> data = NewDataObject();
    ComPtr<IStream> stream;
    ASSERT_EQ(S_OK, CreateStreamOnHGlobal(nullptr, TRUE, &stream));
    FORMATETC format = Format(CF_TEXT, TYMED_ISTREAM);
    STGMEDIUM held = {};
    held.tymed = TYMED_ISTREAM;
    held.pstm = stream;
    ASSERT_EQ(S_OK, data->SetData(&format, &held, FALSE));
    for (int i = 0; i < 2; ++i) {
        STGMEDIUM medium = {};
        ASSERT_EQ(S_OK, data->GetData(&format, &medium));
        EXPECT_EQ(stream.Get(), medium.pstm);
        EXPECT_TRUE(com::SameObject(data, medium.pUnkForRelease));
        ReleaseStgMedium(&medium);
        // Only the test's own reference is left (and the one taken here).
        EXPECT_EQ(2u, stream->AddRef());
        stream->Release();
    }
}

TEST(DataObject, OtherFormatsAndMediaAreRefused)
{
    ComPtr<IDataObject> data = NewDataObject();
    FORMATETC text = Format(CF_TEXT);
    STGMEDIUM medium = {};
    EXPECT_EQ(DV_E_FORMATETC, data->GetData(&text, &medium));  // nothing held yet
    HGLOBAL block = NewBlock(kData);
    Hold(data, block, TRUE);
    FORMATETC others[] = {Format(CF_HDROP), Format(CF_TEXT, TYMED_ISTREAM)};
    for (FORMATETC& other : others) {
        EXPECT_EQ(DV_E_FORMATETC, data->GetData(&other, &medium));
        EXPECT_EQ(nullptr, medium.hGlobal);
    }
    EXPECT_EQ(E_NOTIMPL, data->QueryGetData(&text));
    EXPECT_EQ(E_NOTIMPL, data->GetDataHere(&text, &medium));
}

TEST(DataObject, EnumeratesNothingBeforeTheFirstSetData)
{
    ComPtr<IDataObject> data = NewDataObject();
    ComPtr<IEnumFORMATETC> formats;
    ASSERT_EQ(S_OK, data->EnumFormatEtc(DATADIR_GET, &formats));
    for (int pass = 0; pass < 2; ++pass) {
        FORMATETC got = {};
        ULONG fetched = 7;
        EXPECT_EQ(S_FALSE, formats->Next(1, &got, &fetched)) << pass;
        EXPECT_EQ(0u, fetched);
        EXPECT_EQ(S_FALSE, formats->Skip(1));
        EXPECT_EQ(S_OK, formats->Reset());
    }
}

TEST(DataObject, EnumeratesTheOneFormat)
{
    ComPtr<IDataObject> data = NewDataObject();
    Hold(data, NewBlock(kData), TRUE);
    ComPtr<IEnumFORMATETC> formats;
    ASSERT_EQ(S_OK, data->EnumFormatEtc(DATADIR_GET, &formats));
    FORMATETC got[2] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, formats->Next(2, got, &fetched));
    EXPECT_EQ(1u, fetched);
    EXPECT_EQ(CF_TEXT, got[0].cfFormat);
    EXPECT_EQ(static_cast<DWORD>(TYMED_HGLOBAL), got[0].tymed);
    EXPECT_EQ(S_FALSE, formats->Next(1, got, &fetched));
    EXPECT_EQ(0u, fetched);
    EXPECT_EQ(S_OK, formats->Reset());
    ComPtr<IEnumFORMATETC> clone;
    ASSERT_EQ(S_OK, formats->Clone(&clone));
    EXPECT_EQ(S_OK, clone->Next(1, got, nullptr));
}

TEST(DataObject, AdviseGoesThroughTheHolder)
{
    ComPtr<IDataObject> data = NewDataObject();
    ComPtr<IEnumSTATDATA> advises;
    EXPECT_EQ(OLE_E_NOCONNECTION, data->DUnadvise(1));
    EXPECT_EQ(E_FAIL, data->EnumDAdvise(&advises));

    ComPtr<IAdviseSink> sink;
    ASSERT_EQ(S_OK, com::CreateObject<CountingSink>(IID_IAdviseSink, reinterpret_cast<void**>(&sink)));
    FORMATETC format = Format(CF_TEXT);
    DWORD connection = 0;
    ASSERT_EQ(S_OK, data->DAdvise(&format, ADVF_NODATA, sink, &connection));
    EXPECT_NE(0u, connection);
    ASSERT_EQ(S_OK, data->EnumDAdvise(&advises));
    STATDATA entry = {};
    ASSERT_EQ(S_OK, advises->Next(1, &entry, nullptr));
    EXPECT_EQ(connection, entry.dwConnection);
    if (entry.pAdvSink) entry.pAdvSink->Release();
    advises.Reset();
    EXPECT_EQ(S_OK, data->DUnadvise(connection));
    EXPECT_EQ(OLE_E_NOCONNECTION, data->DUnadvise(connection));
}
