// The banner picture 图片框1: the product name painted on a gradient.
#pragma once

constexpr char kBannerClassName[] = "VeltroBanner";
void RegisterBannerClass();
