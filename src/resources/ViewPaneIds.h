// Template and controls of the ViewPane.
#pragma once
