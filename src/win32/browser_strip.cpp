#include "browser_strip.h"

#include <exdisp.h>
#include <ole2.h>

namespace pikrotta::win32 {

// The container's side of in-place activation: a client site, an in-place site and a frame
// that offers nothing beyond the strip's window and rectangle.
class TBrowserStrip::TSite : public IOleClientSite,
                             public IOleInPlaceSite,
                             public IOleInPlaceFrame {
 public:
  TSite(HWND parent, const RECT& rect) : Parent(parent), Rect(rect) {}

  bool Create() {
    if (FAILED(::CoCreateInstance(CLSID_WebBrowser, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  reinterpret_cast<void**>(&Object))))
      return false;
    if (FAILED(Object->SetClientSite(static_cast<IOleClientSite*>(this)))) return false;
    ::OleSetContainedObject(Object, TRUE);
    RECT rect = Rect;
    if (FAILED(Object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this),
                              0, Parent, &rect)))
      return false;
    if (FAILED(Object->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(&Browser))))
      return false;
    Browser->put_Silent(VARIANT_TRUE);  // no dialogs of its own
    return true;
  }

  void Close() {
    if (Browser) Browser->Release();
    Browser = nullptr;
    if (Object) {
      Object->Close(OLECLOSE_NOSAVE);
      Object->SetClientSite(nullptr);
      Object->Release();
    }
    Object = nullptr;
  }

  void Move(const RECT& rect) {
    Rect = rect;
    IOleInPlaceObject* inPlace = nullptr;
    if (!Object ||
        FAILED(Object->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlace))))
      return;
    inPlace->SetObjectRects(&Rect, &Rect);
    inPlace->Release();
  }

  IWebBrowser2* Browser = nullptr;

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
      *out = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
      *out = static_cast<IOleInPlaceSite*>(this);
    else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
      *out = static_cast<IOleInPlaceFrame*>(this);
    else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++References; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --References;
    if (left == 0) delete this;
    return left;
  }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow, shared by the in-place site and the frame
  STDMETHODIMP GetWindow(HWND* window) override {
    *window = Parent;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
  STDMETHODIMP OnUIActivate() override { return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO info) override {
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    *position = Rect;
    *clip = Rect;
    info->fMDIApp = FALSE;
    info->hwndFrame = Parent;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

  // IOleInPlaceUIWindow and IOleInPlaceFrame
  STDMETHODIMP GetBorder(LPRECT) override { return E_NOTIMPL; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

 private:
  virtual ~TSite() = default;

  HWND Parent;
  RECT Rect;
  IOleObject* Object = nullptr;
  ULONG References = 1;
};

TBrowserStrip::TBrowserStrip(HWND parent, const RECT& rect) : Site(new TSite(parent, rect)) {
  if (!Site->Create()) {
    Site->Close();
    Site->Release();
    Site = nullptr;
  }
}

TBrowserStrip::~TBrowserStrip() {
  if (!Site) return;
  Site->Close();
  Site->Release();
}

void TBrowserStrip::Move(const RECT& rect) {
  if (Site) Site->Move(rect);
}

bool TBrowserStrip::Created() const {
  return Site != nullptr;
}

void TBrowserStrip::Navigate(const std::wstring& url) {
  if (!Site) return;
  BSTR address = ::SysAllocString(url.c_str());
  VARIANT empty;
  ::VariantInit(&empty);
  Site->Browser->Navigate(address, &empty, &empty, &empty, &empty);
  ::SysFreeString(address);
}

}  // namespace pikrotta::win32
