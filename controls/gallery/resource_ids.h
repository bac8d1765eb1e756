#pragma once
#define IDI_GALLERY 1
