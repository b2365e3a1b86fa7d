#include "render/plugin_host.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <system_error>

#include "kinoloop/effect_plugin.h"

namespace kinoloop {

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

struct LibraryCloser {
    void operator()(void* handle) const { dlclose(handle); }
};
using Library = std::unique_ptr<void, LibraryCloser>;

render::Result<Library> Load(const fs::path& library) {
    dlerror();
    // RTLD_LOCAL keeps two plug-ins' symbols apart; RTLD_NOW makes a library with a missing dependency fail
    // here rather than in the middle of a call.
    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        return render::Failure{"Unable to load the effect plug-in " + library.string() + ": " +
                               (reason ? reason : "unknown error")};
    }
    return Library(handle);
}

render::Result<void*> Symbol(const Library& handle, const char* function, const fs::path& library) {
    void* address = dlsym(handle.get(), function);
    if (address == nullptr) return render::Failure{LinkErrorMessage(function, library)};
    return address;
}

template <class Function>
render::Result<Function> Resolve(const Library& handle, const char* function, const fs::path& library) {
    auto address = Symbol(handle, function, library);
    if (!address) return render::Failure{address.error()};
    return reinterpret_cast<Function>(address.value());
}

render::Status CallEffect(const fs::path& library, const char* function, const std::uint8_t* input,
                          std::int32_t size, const EffectParameters& parameters, std::uint8_t* output) {
    auto handle = Load(library);
    if (!handle) return render::Failure{handle.error()};
    auto effect = Resolve<KinoloopEffectFunction>(handle.value(), function, library);
    if (!effect) return render::Failure{effect.error()};
    effect.value()(input, size, parameters.param1, parameters.param2, parameters.param3, parameters.param4,
                   parameters.text.c_str(), output);
    return render::Ok();
}

}  // namespace

std::string LinkErrorMessage(const std::string& function, const fs::path& library) {
    return "Unable to link to function " + function + " in DLL " + library.string() + "!";
}

void BitmapBytes::Resize(std::size_t size) {
    storage_.assign(kPrefix + size, 0);
    const auto length = static_cast<std::uint32_t>(size);
    for (std::size_t i = 0; i < kPrefix; ++i) storage_[i] = static_cast<std::uint8_t>(length >> (8 * i));
}

void BitmapBytes::Assign(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != size()) Resize(bytes.size());
    std::memcpy(data(), bytes.data(), bytes.size());
}

render::Result<std::string> CallPluginText(const fs::path& library, const char* function) {
    auto handle = Load(library);
    if (!handle) return render::Failure{handle.error()};
    auto text = Resolve<KinoloopTextFunction>(handle.value(), function, library);
    if (!text) return render::Failure{text.error()};
    const char* result = text.value()();
    if (result == nullptr) return std::string();
    return std::string(result, strnlen(result, kPluginTextMax));
}

render::Status CallPluginEffect(const fs::path& library, const char* function, const BitmapBytes& input,
                                const EffectParameters& parameters, BitmapBytes& output) {
    if (output.size() != input.size()) output.Resize(input.size());
    return CallEffect(library, function, input.data(), static_cast<std::int32_t>(input.size()), parameters,
                      output.data());
}

render::Status CallPluginEffectInPlace(const fs::path& library, const char* function,
                                       const EffectParameters& parameters, BitmapBytes& frame) {
    return CallEffect(library, function, frame.data(), static_cast<std::int32_t>(frame.size()), parameters,
                      frame.data());
}

PluginScan ScanPlugins(const fs::path& effFolder) {
    PluginScan scan;
    std::vector<fs::path> libraries;
    std::error_code error;
    for (fs::directory_iterator it(effFolder, error), end; !error && it != end; it.increment(error)) {
        if (it->is_regular_file(error) && Lower(it->path().extension().string()) == ".so") {
            libraries.push_back(it->path());
        }
    }
    std::sort(libraries.begin(), libraries.end(), [](const fs::path& a, const fs::path& b) {
        const std::string la = Lower(a.filename().string()), lb = Lower(b.filename().string());
        return la != lb ? la < lb : a.filename() < b.filename();
    });
    for (const fs::path& library : libraries) {
        TPlugin plugin;
        plugin.path = library;
        std::string problem;
        for (auto [function, field] :
             {std::pair{kGetName, &plugin.name}, std::pair{kGetAuthor, &plugin.author},
              std::pair{kGetNotes, &plugin.notes}}) {
            auto text = CallPluginText(library, function);
            if (!text) {
                problem = text.error();
                break;
            }
            *field = std::move(text.value());
        }
        if (!problem.empty()) {
            scan.problems.push_back(std::move(problem));
            continue;
        }
        plugin.index = static_cast<int>(scan.plugins.size());
        scan.plugins.push_back(std::move(plugin));
    }
    return scan;
}

void ReportPluginProblems(const PluginScan& scan, Notices& notices) {
    for (const std::string& problem : scan.problems) {
        notices.ShowMsgBox(icon::Error, buttons::Ok, kProductName, problem);
    }
}

std::optional<fs::path> FindPluginLibrary(const std::string& effectName,
                                          const std::vector<TPlugin>& plugins) {
    std::optional<fs::path> library;
    const std::string wanted = Lower(effectName);
    for (const TPlugin& plugin : plugins) {
        if (Lower(plugin.name) == wanted) library = plugin.path;
    }
    return library;
}

}  // namespace kinoloop
