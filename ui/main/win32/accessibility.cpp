#include "ui/main/win32/accessibility.h"

#include <commctrl.h>
#include <oleacc.h>

#include <atomic>
#include <string>
#include <vector>

#include "ui/main/main_layout.h"

namespace mainwindow {
namespace {

// The libraries an answer takes, loaded on the first question: at start-up they would cost every
// run the time to load COM, which a run without assistive technology never needs.
struct Accessibility {
  decltype(&::CreateStdAccessibleObject) createStandard = nullptr;
  decltype(&::LresultFromObject) lresultFromObject = nullptr;
  decltype(&::SysAllocStringLen) allocString = nullptr;
};

// A function of a loaded library; through void (*)(), which GCC takes as any function's type.
template <typename Function>
Function Resolve(HMODULE library, const char* name) {
  if (library == nullptr) {
    return nullptr;
  }
  // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): GetProcAddress's only way
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

const Accessibility& Libraries() {
  static const Accessibility functions = [] {
    Accessibility loaded;
    // The answer is handed to the client through COM, which the window's thread then needs; a
    // thread that has it already keeps it as it is.
    const auto initialize =
        Resolve<decltype(&::CoInitializeEx)>(::LoadLibraryA("ole32.dll"), "CoInitializeEx");
    if (initialize == nullptr) {
      return loaded;
    }
    initialize(nullptr, COINIT_APARTMENTTHREADED);
    HMODULE oleacc = ::LoadLibraryA("oleacc.dll");
    loaded.createStandard =
        Resolve<decltype(&::CreateStdAccessibleObject)>(oleacc, "CreateStdAccessibleObject");
    loaded.lresultFromObject = Resolve<decltype(&::LresultFromObject)>(oleacc, "LresultFromObject");
    loaded.allocString = Resolve<decltype(&::SysAllocStringLen)>(::LoadLibraryA("oleaut32.dll"),
                                                                 "SysAllocStringLen");
    return loaded;
  }();
  return functions;
}

// The design table's row of a control, if it is one of the window's.
const mainlayout::Control* RowOf(HWND control) {
  const int id = ::GetDlgCtrlID(control);
  for (const mainlayout::Control& row : mainlayout::kControls) {
    if (static_cast<int>(row.id) == id) {
      return &row;
    }
  }
  return nullptr;
}

std::string TextOf(HWND control) {
  std::vector<char> text(static_cast<std::size_t>(::GetWindowTextLengthA(control)) + 1);
  const int length = ::GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
  return std::string(text.data(), static_cast<std::size_t>(length > 0 ? length : 0));
}

// "<heading>: <value>" for a value, the heading alone while there is no value; else what the
// control is called.
std::string NameOf(HWND control, const mainlayout::Control& row) {
  std::string name = mainlayout::Called(row);
  if (row.meaning.value) {
    const std::string value = TextOf(control);
    if (!value.empty()) {
      name += ": " + value;
    }
  }
  return name;
}

bool IsSelf(const VARIANT& child) {
  return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's accessible object for the control under the design's name, and a picture's role
// where the control is drawn by the window. Everything else is the system object's answer.
class NamedAccessible final : public IAccessible, public IOleWindow {
 public:
  NamedAccessible(HWND control, const mainlayout::Control& row, IAccessible* standard)
      : control_(control), row_(row), standard_(standard) {}
  ~NamedAccessible() { standard_->Release(); }
  NamedAccessible(const NamedAccessible&) = delete;
  NamedAccessible& operator=(const NamedAccessible&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) ||
        riid == __uuidof(IAccessible)) {
      *object = static_cast<IAccessible*>(this);
    } else if (riid == __uuidof(IOleWindow)) {
      *object = static_cast<IOleWindow*>(this);
    } else {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      delete this;
    }
    return left;
  }

  // IOleWindow: the control the object stands for.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
    if (window == nullptr) {
      return E_POINTER;
    }
    *window = control_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL /*enter*/) override { return E_NOTIMPL; }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    const Accessibility& functions = Libraries();
    if (!IsSelf(child) || name == nullptr || !::IsWindow(control_) ||
        functions.allocString == nullptr) {
      return standard_->get_accName(child, name);
    }
    // Text from the system is in its ANSI code page, as the 8-bit calls give it.
    const std::string text = NameOf(control_, row_);
    std::wstring wide(text.size(), L'\0');
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                             wide.data(), static_cast<int>(wide.size()));
    *name = functions.allocString(wide.data(), static_cast<UINT>(length > 0 ? length : 0));
    return *name != nullptr ? S_OK : E_OUTOFMEMORY;
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (IsSelf(child) && role != nullptr && row_.kind == mainlayout::Kind::Picture) {
      role->vt = VT_I4;
      role->lVal = ROLE_SYSTEM_GRAPHIC;
      return S_OK;
    }
    return standard_->get_accRole(child, role);
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    return standard_->get_accParent(parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override {
    return standard_->get_accChildCount(count);
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
    return standard_->get_accChild(child, object);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return standard_->get_accValue(child, value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    return standard_->get_accDescription(child, description);
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    return standard_->get_accState(child, state);
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    return standard_->get_accHelp(child, help);
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
    return standard_->get_accHelpTopic(file, child, topic);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return standard_->get_accKeyboardShortcut(child, shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
    return standard_->get_accFocus(child);
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
    return standard_->get_accSelection(children);
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return standard_->get_accDefaultAction(child, action);
  }
  HRESULT STDMETHODCALLTYPE accSelect(LONG how, VARIANT child) override {
    return standard_->accSelect(how, child);
  }
  HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                        VARIANT child) override {
    return standard_->accLocation(left, top, width, height, child);
  }
  HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
    return standard_->accNavigate(direction, start, end);
  }
  HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
    return standard_->accHitTest(x, y, child);
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return standard_->accDoDefaultAction(child);
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
    return standard_->put_accName(child, name);
  }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
    return standard_->put_accValue(child, value);
  }

  // IDispatch, for scripting clients: the system object's.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    return standard_->GetTypeInfoCount(count);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return standard_->GetTypeInfo(index, locale, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override {
    return standard_->GetIDsOfNames(riid, names, count, locale, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID locale, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* wrong) override {
    return standard_->Invoke(member, riid, locale, flags, parameters, result, exception, wrong);
  }

 private:
  HWND control_;
  const mainlayout::Control& row_;
  IAccessible* standard_;
  std::atomic<ULONG> references_{1};
};

// The answer to WM_GETOBJECT for the control's client area; 0 leaves the question to the system.
LRESULT Answer(HWND control, WPARAM flags) {
  const mainlayout::Control* row = RowOf(control);
  const Accessibility& functions = Libraries();
  if (row == nullptr || functions.createStandard == nullptr ||
      functions.lresultFromObject == nullptr) {
    return 0;
  }
  IAccessible* standard = nullptr;
  if (FAILED(functions.createStandard(control, OBJID_CLIENT, __uuidof(IAccessible),
                                      reinterpret_cast<void**>(&standard))) ||
      standard == nullptr) {
    return 0;
  }
  auto* named = new NamedAccessible(control, *row, standard);
  const LRESULT answer =
      functions.lresultFromObject(__uuidof(IAccessible), flags, static_cast<IAccessible*>(named));
  named->Release();
  return answer > 0 ? answer : 0;
}

constexpr UINT_PTR kNamed = 1;

LRESULT CALLBACK NamedControl(HWND control, UINT message, WPARAM wParam, LPARAM lParam,
                              UINT_PTR /*id*/, DWORD_PTR /*data*/) {
  if (message == WM_GETOBJECT && static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT) {
    if (const LRESULT answer = Answer(control, wParam); answer != 0) {
      return answer;
    }
  } else if (message == WM_NCDESTROY) {
    ::RemoveWindowSubclass(control, &NamedControl, kNamed);
  }
  return ::DefSubclassProc(control, message, wParam, lParam);
}

}  // namespace

void NameForAssistiveTechnology(HWND control) {
  ::SetWindowSubclass(control, &NamedControl, kNamed, 0);
}

}  // namespace mainwindow
