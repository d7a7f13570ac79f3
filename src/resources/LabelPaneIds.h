// Template and controls of the LabelPane.
#pragma once
