# Remakes the import fidelity data: four small scenes built in Blender,
# exported as glTF binary, FBX and COLLADA (two static ones as OBJ too), and
# Blender's own pictures of them from the scene camera (Workbench, flat
# colours, no anti-aliasing, 320x240) as the reference the player's capture
# is held against.
#
# Needs Debian's blender package (made with 3.4) and python3-numpy, which
# Blender's glTF exporter uses; the tests only read the files this writes.
# From this folder:
#
#     xvfb-run -a blender -b --factory-startup --python make.py
#
# Every colour is a pure hue (red, green, blue, yellow, magenta, cyan) over
# black, so that the comparison can tell the parts apart by hue, however the
# player shades them. Each scene is asymmetric: a mirror, a flip or a turn
# moves some colour to where it does not belong.

import math
import os
import struct
import zlib

import bpy
from mathutils import Vector

HERE = os.path.dirname(os.path.abspath(__file__))
REF = os.path.join(HERE, "ref")
FPS = 25
COLOURS = {
    "Red": (1, 0, 0),
    "Green": (0, 1, 0),
    "Blue": (0, 0, 1),
    "Yellow": (1, 1, 0),
    "Magenta": (1, 0, 1),
    "Cyan": (0, 1, 1),
}


def fresh():
    bpy.ops.wm.read_factory_settings(use_empty=True)
    scene = bpy.context.scene
    scene.render.engine = "BLENDER_WORKBENCH"
    scene.render.resolution_x = 320
    scene.render.resolution_y = 240
    scene.render.resolution_percentage = 100
    scene.render.fps = FPS
    scene.frame_start = 0
    scene.frame_end = 2 * FPS
    scene.render.image_settings.file_format = "PNG"
    scene.render.image_settings.color_mode = "RGB"
    scene.render.image_settings.compression = 100
    scene.view_settings.view_transform = "Standard"
    scene.display.render_aa = "OFF"
    scene.render.dither_intensity = 0.0
    shading = scene.display.shading
    shading.light = "FLAT"
    shading.color_type = "MATERIAL"
    shading.show_object_outline = False
    shading.show_cavity = False
    shading.show_shadows = False
    shading.show_specular_highlight = False
    world = bpy.data.worlds.new("World")
    world.color = (0, 0, 0)
    scene.world = world
    return scene


def material(name):
    m = bpy.data.materials.get(name)
    if m:
        return m
    m = bpy.data.materials.new(name)
    rgb = COLOURS[name]
    m.diffuse_color = (*rgb, 1)
    m.use_nodes = True
    bsdf = m.node_tree.nodes["Principled BSDF"]
    bsdf.inputs["Base Color"].default_value = (*rgb, 1)
    bsdf.inputs["Specular"].default_value = 0.0
    return m


def box(name, colour, location, size, parent=None):
    bpy.ops.mesh.primitive_cube_add(size=1, location=location)
    o = bpy.context.object
    o.name = name
    o.data.name = name + "Mesh"
    o.scale = size
    bpy.ops.object.transform_apply(location=False, rotation=False, scale=True)
    o.data.materials.append(material(colour))
    if parent:
        o.parent = parent
        o.matrix_parent_inverse = parent.matrix_world.inverted()
    return o


def camera(location, look_at, lens=35.0):
    data = bpy.data.cameras.new("Camera")
    data.lens = lens
    data.sensor_fit = "AUTO"
    cam = bpy.data.objects.new("Camera", data)
    bpy.context.scene.collection.objects.link(cam)
    cam.location = location
    aim(cam, look_at)
    bpy.context.scene.camera = cam
    return cam


def aim(obj, look_at):
    direction = Vector(look_at) - obj.location
    obj.rotation_euler = direction.to_track_quat("-Z", "Y").to_euler()


def key_linear(obj):
    if obj.animation_data and obj.animation_data.action:
        obj.animation_data.action.name = obj.name + "Action"
        for curve in obj.animation_data.action.fcurves:
            for k in curve.keyframe_points:
                k.interpolation = "LINEAR"


def axes_objects():
    # Cubes on +x (red), +y (green, away from the viewer) and +z (blue), a
    # yellow head at the origin with a magenta nose and a cyan ear.
    box("XCube", "Red", (2.5, 0, 0.5), (1, 1, 1))
    box("YCube", "Green", (0, 2.5, 0.5), (1, 1, 1))
    box("ZCube", "Blue", (0, 0, 2.6), (0.8, 0.8, 0.8))
    head = box("Head", "Yellow", (0, 0, 0.6), (1.2, 1.2, 1.2))
    box("Nose", "Magenta", (0.35, -0.8, 0.8), (0.4, 0.4, 0.4), parent=head)
    box("Ear", "Cyan", (-0.8, 0.1, 1.0), (0.3, 0.5, 0.5), parent=head)


def export(stem, obj=False):
    path = os.path.join(HERE, stem)
    bpy.ops.export_scene.gltf(filepath=path + ".glb", export_format="GLB", export_cameras=True,
                              export_lights=False, export_extras=False)
    bpy.ops.export_scene.fbx(filepath=path + ".fbx", path_mode="COPY", embed_textures=True,
                             object_types={"MESH", "CAMERA", "EMPTY"}, bake_anim=True,
                             bake_anim_use_all_actions=False, bake_anim_use_nla_strips=False)
    bpy.ops.wm.collada_export(filepath=path + ".dae", include_animations=True,
                              export_animation_type_selection="sample", sampling_rate=1,
                              use_texture_copies=True)
    if obj:
        bpy.ops.wm.obj_export(filepath=path + ".obj", export_materials=True, path_mode="RELATIVE")


def render(stem, frames):
    scene = bpy.context.scene
    for f in frames:
        scene.frame_set(f)
        scene.render.filepath = os.path.join(REF, "%s_%d.png" % (stem, round(f * 1000 / FPS)))
        bpy.ops.render.render(write_still=True)
    scene.frame_set(0)


def write_png(path, width, height, pixel):
    rows = b"".join(b"\0" + bytes(c for x in range(width) for c in pixel(x, y)) for y in range(height))
    chunk = lambda kind, data: (struct.pack(">I", len(data)) + kind + data +
                                struct.pack(">I", zlib.crc32(kind + data) & 0xffffffff))
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def make_axes():
    fresh()
    axes_objects()
    camera((6.0, -8.0, 4.5), (0.3, 0.3, 0.9))
    export("axes", obj=True)
    render("axes", [0])


def make_motion():
    # A red cube moves along x, a blue bar with a yellow tip turns a quarter
    # about the vertical: two objects, two actions, over two seconds.
    fresh()
    mover = box("Mover", "Red", (-3, 0, 0.5), (1, 1, 1))
    mover.keyframe_insert("location", frame=0)
    mover.location = (3, 0, 0.5)
    mover.keyframe_insert("location", frame=2 * FPS)
    key_linear(mover)
    spinner = box("Spinner", "Blue", (0, 2, 0.5), (2.4, 0.4, 0.4))
    box("Tip", "Yellow", (1.4, 2, 0.5), (0.5, 0.5, 0.5), parent=spinner)
    spinner.keyframe_insert("rotation_euler", frame=0)
    spinner.rotation_euler = (0, 0, math.radians(90))
    spinner.keyframe_insert("rotation_euler", frame=2 * FPS)
    key_linear(spinner)
    camera((0.0, -10.0, 5.0), (0, 0.8, 0.5))
    export("motion")
    render("motion", [0, FPS, 2 * FPS])


def make_camera_move():
    # The axis scene seen from a camera that moves and turns.
    fresh()
    axes_objects()
    cam = camera((7.0, -7.0, 4.0), (0.3, 0.3, 0.9))
    cam.keyframe_insert("location", frame=0)
    cam.keyframe_insert("rotation_euler", frame=0)
    cam.location = (-4.0, -9.0, 6.0)
    aim(cam, (0.3, 0.3, 0.9))
    cam.keyframe_insert("location", frame=2 * FPS)
    cam.keyframe_insert("rotation_euler", frame=2 * FPS)
    key_linear(cam)
    export("camera")
    render("camera", [0, FPS, 2 * FPS])


def make_texture(stem, ending):
    # A standing square with a texture in four quadrants (red top left, green
    # top right, blue bottom left, yellow bottom right) and a magenta mark
    # near the top-left corner, seen from the front and a little to the right.
    # Made 64 texels square, so that the picture magnifies it.
    fresh()

    # Black lines between the colours: a renderer that filters texels mixes
    # a colour with black at a border, which keeps its hue, and never two
    # colours into a third. JPEG keeps colour at half resolution, so its
    # colours bleed a texel or two into black: the JPEG's lines are four
    # texels wide, on even texels, and it leaves the mark out (the
    # quadrants alone tell a flip or a turn).
    mark = ending == ".png"
    lines = (0, 31, 32, 63) if mark else (0, 1, 30, 31, 32, 33, 62, 63)
    quadrants = os.path.join(HERE, "quadrants.png" if mark else "quadrants_for_jpeg.png")

    def pixel(x, y):
        if mark and 6 <= x < 14 and 6 <= y < 14:
            return (255, 0, 255)
        if mark and 4 <= x < 16 and 4 <= y < 16 or x in lines or y in lines:
            return (0, 0, 0)
        top, left = y < 32, x < 32
        return [(0, 0, 255), (255, 255, 0), (255, 0, 0), (0, 255, 0)][top * 2 + (not left)]

    write_png(quadrants, 64, 64, pixel)
    if ending == ".jpg":
        # The same picture as a JPEG, which players and engines store in
        # rows of their own order: 64 rows, whole blocks of 8 and 16.
        png = bpy.data.images.load(quadrants)
        scene = bpy.context.scene
        scene.render.image_settings.file_format = "JPEG"
        scene.render.image_settings.quality = 100
        quadrants = os.path.join(HERE, "quadrants.jpg")
        png.save_render(quadrants, scene=scene)
        scene.render.image_settings.file_format = "PNG"
        bpy.data.images.remove(png)
        os.remove(os.path.join(HERE, "quadrants_for_jpeg.png"))
    bpy.ops.mesh.primitive_plane_add(size=3, location=(0, 0, 1.5), rotation=(math.radians(90), 0, 0))
    plane = bpy.context.object
    plane.name = "Board"
    m = bpy.data.materials.new("Board")
    m.use_nodes = True
    image = bpy.data.images.load(quadrants)
    node = m.node_tree.nodes.new("ShaderNodeTexImage")
    node.image = image
    node.interpolation = "Closest"
    bsdf = m.node_tree.nodes["Principled BSDF"]
    bsdf.inputs["Specular"].default_value = 0.0
    m.node_tree.links.new(node.outputs["Color"], bsdf.inputs["Base Color"])
    m.node_tree.nodes.active = node
    plane.data.materials.append(m)
    bpy.context.scene.display.shading.color_type = "TEXTURE"
    camera((2.0, -6.5, 2.2), (0, 0, 1.5))
    export(stem, obj=ending == ".png")
    render(stem, [0])


os.makedirs(REF, exist_ok=True)
make_axes()
make_motion()
make_camera_move()
make_texture("texture", ".png")
make_texture("texturejpg", ".jpg")
