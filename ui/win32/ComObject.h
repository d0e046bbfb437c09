// A COM object of our own that implements one interface, and an owned reference to one.  An
// object is made with one reference, its maker's, and is deleted by its last Release only.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <unknwn.h>

#include <memory>

namespace bukvotok::win32 {

// COM's interfaces have no virtual destructor: the object's own is virtual, and only Release
// calls it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
template <typename Interface>
class ComObject : public Interface {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (id == __uuidof(IUnknown) || id == __uuidof(Interface)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(::InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = ::InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    LONG references_ = 1;
};
#pragma GCC diagnostic pop

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
// One reference, released when it goes.
template <typename Object>
using ComReference = std::unique_ptr<Object, ComRelease>;

}  // namespace bukvotok::win32
