#include "GLwrappers/PngPrefetch.h"

#include "cpp/LoadTimeline.h"

#include <exception>
#include <utility>

PngPrefetch::PngPrefetch(std::vector<std::string> paths)
    : _paths(std::move(paths)), _promises(_paths.size()), _taken(_paths.size(), false) {
    _images.reserve(_paths.size());
    for (auto& promise : _promises) _images.push_back(promise.get_future());
    _worker = std::thread([this] {
        LoadTimeline::Span span("PNG decoding");
        for (size_t i = 0; i < _paths.size(); ++i) {
            try {
                std::unique_ptr<PngImage> image;
                read_png_file(image, _paths[i].c_str());
                _promises[i].set_value(std::move(image));
            } catch (...) {
                _promises[i].set_exception(std::current_exception());
            }
        }
    });
}

PngPrefetch::~PngPrefetch() {
    if (_worker.joinable()) _worker.join();
}

std::unique_ptr<PngImage> PngPrefetch::take(const std::string& path) {
    for (size_t i = 0; i < _paths.size(); ++i) {
        if (_paths[i] != path || _taken[i]) continue;
        _taken[i] = true;
        return _images[i].get();
    }
    std::unique_ptr<PngImage> image;
    read_png_file(image, path.c_str());
    return image;
}
