// PNG files decoded ahead, on one worker thread, while the caller's thread does GL work.
//
// The worker reads the paths given to the constructor one after another, in that order.
// take(path) hands over that file's image, waiting for it if need be, or throws the
// std::runtime_error its reading threw (read_png_file's texts, unchanged). A path that
// was not given, or is taken a second time, is read there and then on the calling
// thread, so a caller gets the same image or the same failure either way. The destructor
// waits for the worker to finish.
#pragma once

#include "GLwrappers/PngReader.h"

#include <cstddef>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class PngPrefetch {
public:
    explicit PngPrefetch(std::vector<std::string> paths);
    ~PngPrefetch();
    PngPrefetch(const PngPrefetch&) = delete;
    PngPrefetch& operator=(const PngPrefetch&) = delete;

    std::unique_ptr<PngImage> take(const std::string& path);

private:
    std::vector<std::string> _paths;
    std::vector<std::promise<std::unique_ptr<PngImage>>> _promises;
    std::vector<std::future<std::unique_ptr<PngImage>>> _images;
    std::vector<bool> _taken;
    std::thread _worker;
};
