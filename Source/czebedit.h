#pragma once
// The viewer's edit box: a multi-line edit control made a child of a tile.
#include "platform/edit_control.h"

class CZEBEdit : public platform::EditControl {
public:
    CZEBEdit() = default;
    ~CZEBEdit() override = default;

    // Creates the box as a child of `parent` with the given styles,
    // rectangle and control id.
    bool Create(uint32_t styles, const platform::Rect& rect, platform::EditParent* parent,
                int32_t id) {
        return create(parent, styles, rect, id);
    }
};
