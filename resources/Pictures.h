#pragma once

// The windows' pictures compiled into the libraries that link
// `halvetrapictures`, under ":/pictures/<NAME>.png" (TResourcePictures of
// platform/basekit/ui loads them by name).

#include <span>
#include <string_view>

std::span<const std::string_view> ShippedPictures();
