// CProjectImpl: what a project type derives from. It completes the
// framework's project object with the component helpers of its class
// identifier (service binder, translator, settings, object logger) and the
// interface table of a project: ISysServiceBinder, ICommandPerformer,
// IOwnWindow, IProject.
//
//   class CCoMaravin : public CProjectImpl<CCoMaravin, &CLSID_CoMaravin> {
//   public:
//       static const ProjectTypeInfo& Type();   // frame table, label, texts
//       // optional: OnTypeCommand, OnActivating, GetOwnWindowMode
//   };
#pragma once
#include "project_base.h"
#include <shared/auto_object_logger.h>
#include <shared/settings_helper.h>
#include <shared/sys_service_binder.h>
#include <shared/translator.h>
#include <com/object.h>

template <class T, const CLSID* Clsid>
class CProjectImpl : public com::ObjectRoot<com::SingleThreadModel>,
                     public CSysServiceBinderImpl<T, Clsid>,
                     public CProjectBase,
                     public CTranslator<T, Clsid>,
                     public CSettingsHelper<T, Clsid>,
                     public CAutoObjectLogger<T> {
public:
    COM_INTERFACES_BEGIN(CProjectImpl)
        COM_INTERFACE(ISysServiceBinder)
        COM_INTERFACE(ICommandPerformer)
        COM_INTERFACE(IOwnWindow)
        COM_INTERFACE(IProject)
    COM_INTERFACES_END()

    // Creation builds the frame table; a failure destroys the object.
    HRESULT FinalConstruct() { return CreateComponents(); }
    void FinalRelease() { ReleaseComponents(); }

    const CLSID& ProjectClsid() const override { return *Clsid; }
    const ProjectTypeInfo& TypeInfo() const override { return T::Type(); }
    HRESULT BindServicesTo(IUnknown* target) override { return this->BindServicesInto(target); }
};
